// Tidemoor.exe: everything is wired in the Application. Nothing runs the server at start-up but a
// server left running by an earlier run, which is taken over; closing the window leaves a running
// server alone.

#include <windows.h>

#include "app/application_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  tidemoor::Application application;
  return application.Run();
}
