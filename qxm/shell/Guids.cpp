// The identifiers of the class, its interface and its type library, as the
// interface definition declares them.
#include "QXM_i.c"
