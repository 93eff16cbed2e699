// Idleness from the Wayland compositor: ext-idle-notify-v1 where it is
// offered (KDE Plasma 6, recent wlroots), else org_kde_kwin_idle (older
// wlroots, sway 1.7, KDE Plasma 5). Both send "idled" after a timeout
// without input and "resumed" at the next input.
#include <wayland-client.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#include "idle-client-protocol.h"
#include "platform/idle/idle_source.h"

namespace brenlow {
namespace {

struct Seen {
  bool idled = false;
  bool resumed = false;
};

template <class Notification>
void Idled(void* seen, Notification*) {
  static_cast<Seen*>(seen)->idled = true;
}

template <class Notification>
void Resumed(void* seen, Notification*) {
  static_cast<Seen*>(seen)->resumed = true;
}

const ext_idle_notification_v1_listener kExtListener = {Idled, Resumed};
const org_kde_kwin_idle_timeout_listener kKdeListener = {Idled, Resumed};

class WaylandIdle final : public IdleSource {
 public:
  explicit WaylandIdle(wl_display* display) : display_(display) {
    wl_registry* registry = wl_display_get_registry(display_);
    wl_registry_add_listener(registry, &kRegistryListener, this);
    wl_display_roundtrip(display_);
    wl_registry_destroy(registry);
  }

  ~WaylandIdle() override {
    if (ext_) ext_idle_notifier_v1_destroy(ext_);
    if (kde_) org_kde_kwin_idle_destroy(kde_);
    if (seat_) wl_seat_destroy(seat_);
    wl_display_disconnect(display_);
  }

  bool Usable() const { return seat_ && (ext_ || kde_); }

  const char* Name() const override {
    return ext_ ? "Wayland, ext-idle-notify-v1" : "Wayland, org_kde_kwin_idle";
  }

  void WaitIdle(std::chrono::milliseconds idle, bool after_input) override {
    // Any input ends a 1 ms idle period: "resumed" is that input.
    if (after_input) Wait(1, &Seen::resumed);
    Wait(static_cast<std::uint32_t>(idle.count()), &Seen::idled);
  }

 private:
  // A notification of its own for each wait: the compositor counts its
  // timeout from the notification's creation.
  void Wait(std::uint32_t timeout_ms, bool Seen::*event) {
    Seen seen;
    ext_idle_notification_v1* ext = nullptr;
    org_kde_kwin_idle_timeout* kde = nullptr;
    if (ext_) {
      ext = ext_idle_notifier_v1_get_idle_notification(ext_, timeout_ms, seat_);
      ext_idle_notification_v1_add_listener(ext, &kExtListener, &seen);
    } else {
      kde = org_kde_kwin_idle_get_idle_timeout(kde_, seat_, timeout_ms);
      org_kde_kwin_idle_timeout_add_listener(kde, &kKdeListener, &seen);
    }
    while (!(seen.*event)) {
      if (wl_display_dispatch(display_) < 0) {
        IdleFailure(std::string("connessione con il compositore Wayland persa: ") +
                    std::strerror(wl_display_get_error(display_)));
      }
    }
    if (ext) ext_idle_notification_v1_destroy(ext);
    if (kde) org_kde_kwin_idle_timeout_release(kde);
  }

  static void Global(void* self_data, wl_registry* registry, std::uint32_t name,
                     const char* interface, std::uint32_t) {
    auto* self = static_cast<WaylandIdle*>(self_data);
    auto bind = [&](const wl_interface& wanted) {
      return std::strcmp(interface, wanted.name) == 0 ? wl_registry_bind(registry, name, &wanted, 1)
                                                      : nullptr;
    };
    // The first seat: idleness is the same for all of them on a desktop.
    if (!self->seat_) self->seat_ = static_cast<wl_seat*>(bind(wl_seat_interface));
    if (!self->ext_) {
      self->ext_ = static_cast<ext_idle_notifier_v1*>(bind(ext_idle_notifier_v1_interface));
    }
    if (!self->kde_)
      self->kde_ = static_cast<org_kde_kwin_idle*>(bind(org_kde_kwin_idle_interface));
  }

  static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

  static constexpr wl_registry_listener kRegistryListener = {Global, GlobalRemove};

  wl_display* display_;
  wl_seat* seat_ = nullptr;
  ext_idle_notifier_v1* ext_ = nullptr;
  org_kde_kwin_idle* kde_ = nullptr;
};

}  // namespace

std::unique_ptr<IdleSource> OpenWaylandIdle(std::string& why) {
  // libwayland would try "wayland-0" without the variable: not our desktop.
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (!name || !*name) {
    why = "WAYLAND_DISPLAY non è impostata";
    return nullptr;
  }
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    why = std::string("impossibile collegarsi al compositore Wayland \"") + name + "\"";
    return nullptr;
  }
  auto source = std::make_unique<WaylandIdle>(display);
  if (!source->Usable()) {
    why = "il compositore Wayland non offre né ext-idle-notify-v1 né org_kde_kwin_idle";
    return nullptr;
  }
  return source;
}

}  // namespace brenlow
