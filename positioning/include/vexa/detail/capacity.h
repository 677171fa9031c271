#ifndef VEXA_DETAIL_CAPACITY_H
#define VEXA_DETAIL_CAPACITY_H

// The records' capacities, for <vexa/records.h>, which defines PT_Int32 before it includes this.

namespace vexa {
namespace detail {

/// The number of slots in a point's ordinate array and in a matrix row.
const PT_Int32 kOrdinateCapacity = 3;
/// The number of rows in a matrix.
const PT_Int32 kRowCapacity = 100;

}  // namespace detail
}  // namespace vexa

#endif
