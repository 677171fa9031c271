#ifndef VEXA_VEXA_H
#define VEXA_VEXA_H

/// Everything the library offers: the records, the plain functions and the three value classes.
#include <vexa/coordinate_point.h>
#include <vexa/envelope.h>
#include <vexa/matrix.h>
#include <vexa/records.h>
#include <vexa/version.h>

#endif
