// 1-based numeric arrays that carry their sizes in element 0.
//
//   DMatrix m (rows x cols): a row table of rows + 1 row pointers; every row
//     holds cols + 1 doubles.  m[0][0] = rows, m[1][0] = cols, data in
//     m[1..rows][1..cols].
//   DVector v (n): n + 1 doubles, v[0] = n, data in v[1..n].
//   IVector v (n): n + 1 32-bit integers, v[0] = n, data in v[1..n].
//
// The allocation routines hand the array back through their first argument,
// zero the data elements, and call fatalerror on an exhausted heap.  The
// release routines accept a null array and set the caller's handle to null.
// The guards release an array when the scope that owns it ends, so a run
// abandoned by fatalerror leaks nothing.
#pragma once

#include <cstdint>

typedef double** DMatrix;
typedef double* DVector;
typedef std::int32_t* IVector;

void taballoc(DMatrix& m, int rows, int cols);
void vecalloc(DVector& v, int n);
void vecintalloc(IVector& v, int n);
void tabfree(DMatrix& m);
void vecfree(DVector& v);
void vecintfree(IVector& v);

// Sizes read back from element 0, truncated toward zero.
inline int tabrows(const DMatrix m) { return static_cast<int>(m[0][0]); }
inline int tabcols(const DMatrix m) { return static_cast<int>(m[1][0]); }
inline int veclen(const DVector v) { return static_cast<int>(v[0]); }

struct TabGuard {
    DMatrix& m;
    ~TabGuard() { tabfree(m); }
};
struct VecGuard {
    DVector& v;
    ~VecGuard() { vecfree(v); }
};
struct IVecGuard {
    IVector& v;
    ~IVecGuard() { vecintfree(v); }
};

// Test hook: when countdown reaches 0, the next block allocation fails as if
// the heap were exhausted.  A negative value (the default) never fails.
struct ArrayState {
    long fail_countdown = -1;
};
extern ArrayState g_arrays;
