// How brenlow.scr and quillet.exe end when they fail beyond their own error
// paths: an exception nothing catches, or an abort anywhere in the program
// (the C++ runtime's own included). msvcrt's abort would show a modal
// "Runtime Error!" box in a GUI program and keep the process waiting for a
// click; these end it at once instead.
#pragma once

namespace brenlow {

// The exit code of such an ending: abort's own.
inline constexpr unsigned kAbortExitCode = 3;

// No system boxes ("insert a disk" for a drive without a medium, the error
// report after a crash); give_back (may be null) runs once before a
// terminate or an abort ends the process with kAbortExitCode.
void GuardProcess(void (*give_back)());

}  // namespace brenlow
