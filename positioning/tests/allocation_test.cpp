// Replaces the global allocation functions of this test program to prove that no operation of
// the value classes reaches the heap.
#include <vexa/vexa.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "record_builders.h"

namespace {

bool counting = false;
long allocations = 0;

void* CountedAllocation(std::size_t bytes) {
    if (counting) ++allocations;
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == 0) throw std::bad_alloc();
    return block;
}

// Counts the allocations made between its construction and Stop().
class AllocationCount {
public:
    AllocationCount() {
        allocations = 0;
        counting = true;
    }
    ~AllocationCount() { counting = false; }
    long Stop() {
        counting = false;
        return allocations;
    }
};

}  // namespace

void* operator new(std::size_t bytes) { return CountedAllocation(bytes); }
void* operator new[](std::size_t bytes) { return CountedAllocation(bytes); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

int* volatile escaped = 0;

TEST(Allocation, CounterSeesAHeapAllocation) {
    AllocationCount count;
    escaped = new int(1);
    const long seen = count.Stop();
    delete escaped;
    EXPECT_EQ(seen, 1);
}

TEST(Allocation, PointsNeverAllocate) {
    const PT_CoordinatePoint record = MakePoint(3, 1.0, 2.0, 3.0);
    long results = 0;
    AllocationCount count;
    {
        CVEXACoordinatePoint a;
        CVEXACoordinatePoint b(1.0, 2.0);
        CVEXACoordinatePoint c(1.0, 2.0, 3.0);
        CVEXACoordinatePoint d(record);
        CVEXACoordinatePoint e(&record);
        CVEXACoordinatePoint f(c);
        a = record;
        a = &record;
        b = c;
        results += (a == record) + (a == &record) + (b != record) + (b != &record);
        results += b.Resize(2) + b.Resize(4) + static_cast<long>(d[0L] + e[1L] + f[2L]);
    }
    EXPECT_EQ(count.Stop(), 0);
    EXPECT_EQ(results, 2 + 1 + 0 + 1 + 2 + 3);
}

TEST(Allocation, EnvelopesNeverAllocate) {
    const PT_Envelope record = MakeEnvelope(MakePoint(2, 3, 1, 0), MakePoint(2, 1, 4, 0));
    long results = 0;
    AllocationCount count;
    {
        const CVEXACoordinatePoint lower(0.0, 0.0);
        const CVEXACoordinatePoint upper(2.0, 2.0);
        CVEXAEnvelope a;
        CVEXAEnvelope b(record);
        CVEXAEnvelope c(&record);
        CVEXAEnvelope d(lower, upper);
        CVEXAEnvelope e(d);
        a = record;
        a = &record;
        c = d;
        a.NormalizeEnveloppe();
        b.Set(upper, lower);
        results += (a == record) + (a == &record) + (b != record) + (e != &record);
        results += d.PointInEnveloppe(CVEXACoordinatePoint(1.0, 1.0));
    }
    EXPECT_EQ(count.Stop(), 0);
    EXPECT_EQ(results, 0 + 0 + 1 + 1 + 1);
}

TEST(Allocation, MatricesNeverAllocate) {
    PT_Matrix record;
    record.rowCount = 2;
    record.elt[0] = MakePoint(2, 1, 2, 3);
    record.elt[1] = MakePoint(2, 4, 5, 6);
    const PT_Matrix* const address = &record;
    long results = 0;
    AllocationCount count;
    {
        CVEXAMatrix a;
        CVEXAMatrix b(3, 2);
        CVEXAMatrix c(record);
        CVEXAMatrix d(address);
        CVEXAMatrix e(c);
        a = record;
        a = address;
        b = e;
        results += (a == record) + (a == address) + (d != record) + (d != address);
        results += b.Resize(100, 3) + b.Resize(5, 4) + a.GetRowCount() + a.GetColumnCount();
        results += static_cast<long>(e(1, 1));
    }
    EXPECT_EQ(count.Stop(), 0);
    EXPECT_EQ(results, 2 + 0 + 1 + 0 + 2 + 2 + 5);
}

}  // namespace
