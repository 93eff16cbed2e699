// Idleness from GNOME: Mutter's idle monitor on the session bus, on Wayland
// and on X11 alike. Its watches fire the WatchFired signal once the user
// has been idle for their interval (AddIdleWatch) or at the next input
// (AddUserActiveWatch).
#include <gio/gio.h>

#include <cstdint>
#include <string>

#include "platform/idle/idle_source.h"

namespace brenlow {
namespace {

constexpr char kName[] = "org.gnome.Mutter.IdleMonitor";
constexpr char kPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr int kCallTimeoutMs = 10000;

class MutterIdle final : public IdleSource {
 public:
  explicit MutterIdle(GDBusConnection* bus) : bus_(bus) {
    // Losing the bus or Mutter ends the service with a message, not a
    // wait that never ends.
    g_dbus_connection_set_exit_on_close(bus_, FALSE);
    g_signal_connect(bus_, "closed", G_CALLBACK(OnClosed), this);
    subscription_ =
        g_dbus_connection_signal_subscribe(bus_, kName, kName, "WatchFired", kPath, nullptr,
                                           G_DBUS_SIGNAL_FLAGS_NONE, OnFired, this, nullptr);
    name_watch_ = g_bus_watch_name_on_connection(bus_, kName, G_BUS_NAME_WATCHER_FLAGS_NONE,
                                                 nullptr, OnVanished, this, nullptr);
  }

  ~MutterIdle() override {
    g_bus_unwatch_name(name_watch_);
    g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    g_signal_handlers_disconnect_by_data(bus_, this);
    g_object_unref(bus_);
  }

  // Mutter answers its simplest call: it is there.
  bool Answers(std::string& why) {
    GError* error = nullptr;
    GVariant* reply = Call("GetIdletime", nullptr, &error);
    if (!reply) {
      why = std::string("GNOME (Mutter) non risponde sul bus di sessione: ") + error->message;
      g_error_free(error);
      return false;
    }
    g_variant_unref(reply);
    return true;
  }

  const char* Name() const override { return "GNOME, org.gnome.Mutter.IdleMonitor"; }

  void WaitIdle(std::chrono::milliseconds idle, bool after_input) override {
    const auto interval = static_cast<guint64>(idle.count());
    if (after_input) {
      Wait(AddWatch("AddUserActiveWatch", nullptr));  // Mutter drops it once fired
    } else {
      // Mutter counts from the last input, which may be long past: a watch
      // for the time already idle plus ours, unless an input comes first.
      GVariant* reply = Checked("GetIdletime", nullptr);
      guint64 quiet = 0;
      g_variant_get(reply, "(t)", &quiet);
      g_variant_unref(reply);
      const std::uint32_t later = AddWatch("AddIdleWatch", g_variant_new("(t)", quiet + interval));
      const std::uint32_t active = AddWatch("AddUserActiveWatch", nullptr);
      const std::uint32_t fired = Wait(later, active);
      Remove(later);
      if (fired == later) {
        Remove(active);
        return;
      }
    }
    const std::uint32_t watch = AddWatch("AddIdleWatch", g_variant_new("(t)", interval));
    Wait(watch);
    Remove(watch);
  }

 private:
  GVariant* Call(const char* method, GVariant* args, GError** error) {
    return g_dbus_connection_call_sync(bus_, kName, kPath, kName, method, args, nullptr,
                                       G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr,
                                       error);
  }

  GVariant* Checked(const char* method, GVariant* args) {
    GError* error = nullptr;
    GVariant* reply = Call(method, args, &error);
    if (!reply) IdleFailure(std::string("Mutter, ") + method + ": " + error->message);
    return reply;
  }

  std::uint32_t AddWatch(const char* method, GVariant* args) {
    GVariant* reply = Checked(method, args);
    guint32 watch = 0;
    g_variant_get(reply, "(u)", &watch);
    g_variant_unref(reply);
    return watch;
  }

  void Remove(std::uint32_t watch) {
    g_variant_unref(Checked("RemoveWatch", g_variant_new("(u)", watch)));
  }

  // Signals reach the callbacks only here: one that came with the call's
  // reply waits in the main context until then. Gives the watch that fired.
  std::uint32_t Wait(std::uint32_t watch, std::uint32_t or_watch = 0) {
    waiting_[0] = watch;
    waiting_[1] = or_watch;
    fired_ = 0;
    while (!fired_) {
      g_main_context_iteration(nullptr, TRUE);
      if (!lost_.empty()) IdleFailure(lost_);
    }
    return fired_;
  }

  static void OnFired(GDBusConnection*, const char*, const char*, const char*, const char*,
                      GVariant* parameters, gpointer self_data) {
    auto* self = static_cast<MutterIdle*>(self_data);
    guint32 watch = 0;
    if (g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) {
      g_variant_get(parameters, "(u)", &watch);
    }
    if (watch && (watch == self->waiting_[0] || watch == self->waiting_[1])) self->fired_ = watch;
  }

  static void OnClosed(GDBusConnection*, gboolean, GError*, gpointer self_data) {
    static_cast<MutterIdle*>(self_data)->lost_ = "il bus di sessione D-Bus si è chiuso";
  }

  static void OnVanished(GDBusConnection*, const char*, gpointer self_data) {
    auto* self = static_cast<MutterIdle*>(self_data);
    // Heard first in Wait(), after Answers() saw Mutter: it went away.
    self->lost_ = "GNOME (Mutter) ha lasciato il bus di sessione";
  }

  GDBusConnection* bus_;
  guint subscription_ = 0;
  guint name_watch_ = 0;
  std::uint32_t waiting_[2] = {};
  std::uint32_t fired_ = 0;
  std::string lost_;
};

}  // namespace

std::unique_ptr<IdleSource> OpenMutterIdle(std::string& why) {
  GError* error = nullptr;
  GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (!bus) {
    why = std::string("nessun bus di sessione D-Bus: ") + error->message;
    g_error_free(error);
    return nullptr;
  }
  auto source = std::make_unique<MutterIdle>(bus);
  if (!source->Answers(why)) return nullptr;
  return source;
}

}  // namespace brenlow
