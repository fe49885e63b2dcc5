#include "gui/image_buffer.h"

// Placeholder until resampling lands.
bool cImageBuffer::ResampleRows(const uint32_t*, int32_t, int32_t, int32_t, _typebuf<uint32_t>&) { return false; }
bool cImageBuffer::RotateLeft(const uint32_t*, int32_t, int32_t, _typebuf<uint32_t>&) { return false; }
bool cImageBuffer::RotateRight(const uint32_t*, int32_t, int32_t, _typebuf<uint32_t>&) { return false; }
bool cImageBuffer::ScaleLinear(const cImageBuffer*, int32_t, int32_t, cImageBuffer*) { return false; }
bool cImageBuffer::ScaleArea(const cImageBuffer*, int32_t, int32_t, cImageBuffer*) { return false; }
bool cImageBuffer::Scale(int32_t, const cImageBuffer*, int32_t, int32_t, cImageBuffer*) { return false; }
