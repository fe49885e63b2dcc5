#ifndef BASE_BUFFERS_BOUNDS_H
#define BASE_BUFFERS_BOUNDS_H

// Throw the cException of an index outside a _typebuf or a _classbuf.
[[noreturn]] void throw_typebuf_out_of_bounds();
[[noreturn]] void throw_classbuf_out_of_bounds();

#endif
