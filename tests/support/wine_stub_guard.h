// Turns a call to a function that Wine has not implemented into a test failure that names the
// function, and ends the program with kWineStubExitCode. Without it Wine starts its debugger.
//
//   int main(...) { fwtest::InstallWineStubGuard(); ... }
#pragma once

namespace fwtest {

inline constexpr unsigned kWineStubExitCode = 70;

void InstallWineStubGuard();

}  // namespace fwtest
