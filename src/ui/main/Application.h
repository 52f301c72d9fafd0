#pragma once
// Program start and end: the application object, the windows in their order, the event loop.

int RunApplication(int argc, char** argv);
