// A stand-in for the framework's header of extension libraries; see afxwin.h.
#ifndef VEXA_TESTS_MFC_STAND_IN_AFXDLLX_H
#define VEXA_TESTS_MFC_STAND_IN_AFXDLLX_H

#include "afxwin.h"

#endif
