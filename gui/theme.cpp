#include "gui/theme.h"

// Placeholder until the theme lands: no theme, so callers use none.
cCITheme::cCITheme(const cThemeDescriptor*) {}
cCITheme::~cCITheme() {}
bool cCITheme::Install(const cThemeDescriptor*) { return false; }
uint32_t cCITheme::GetColour(int32_t) { return 0; }
int32_t cCITheme::GetMetric(uint32_t, uint32_t) { return 0; }
cImageBuffer* cCITheme::GetImage(uint32_t) { return nullptr; }
const uint32_t* cCITheme::GetPixels(uint32_t, cSize*) { return nullptr; }
cCITheme* get_theme() { return nullptr; }
