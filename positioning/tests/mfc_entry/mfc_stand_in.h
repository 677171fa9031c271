// How the stand-in framework and the program that loads the test library talk: through
// environment variables of the process, which outlive the library's unloading.
#ifndef VEXA_TESTS_MFC_STAND_IN_H
#define VEXA_TESTS_MFC_STAND_IN_H

/// Every framework call, appended as "init HANDLE ", "chain HANDLE " or "terminate HANDLE ",
/// HANDLE being the instance given or the module record's.
#define MFC_STAND_IN_EVENTS "MFC_STAND_IN_EVENTS"
/// When set, the framework refuses to initialise the module record.
#define MFC_STAND_IN_REFUSE "MFC_STAND_IN_REFUSE"
/// When set, chaining the library fails as a failed allocation does.
#define MFC_STAND_IN_ALLOCATION_FAILS "MFC_STAND_IN_ALLOCATION_FAILS"

#endif
