#ifndef TOOLS_SHELL_APP_LANGUAGE_H
#define TOOLS_SHELL_APP_LANGUAGE_H

#include <stdint.h>

#include "gui/language.h"

class cApplicationConfig;
class cChildElement;
class cImageCache;
struct cImageBuffer;

// Language ids of the framework: 0 ENG, 1 RUS, 2 DEU, 3 JPN, 4 KOR, 5 FRA,
// 6 UKR, 7 ESP, 8 CHN, 9 TWN; 10 means none.
const uint32_t language_english = 0;
const uint32_t language_none = 10;

// The application's own texts (its "pkgm::" sections), built into the
// program for eight languages: English, German, Russian, Ukrainian, Korean,
// Japanese and both Chinese. French and Spanish have none.
// Its default is English, the table's first entry.
class cSOPKGLang : public cBuiltinLang {
public:
    cSOPKGLang();
};

// The process's one provider of the application's texts, made and
// registered (after the framework's) on first use, kept until exit.
cSOPKGLang& application_language_provider();

// Loads the language from every provider and chooses the interface face for
// it. False when a provider fails; the language current before is then
// loaded again.
bool apply_language(uint32_t id);

// apply_language for a worker thread. The catalogs and the font cache are
// the UI thread's, so the switch runs there, in an action sent to the
// element, while the worker waits. False when the switch failed or the
// element took no action.
bool apply_language_from_worker(cChildElement* element, uint32_t id);

// The framework's id of the user's interface language in Windows, or
// language_none when it is none of the ten.
uint32_t system_language();

// The start-up choice: "lang/current" of the configuration when the
// application carries that language and it loads, else English.
void choose_startup_language(cApplicationConfig* config);

// Flag pictures of the ten language ids, from shared caches filled on first
// use of each id: 27 x 22 for the language grid, 18 x 14 for the language
// switch and its menu. Null for any other id.
cImageBuffer* get_language_image(uint32_t id);
cImageBuffer* get_small_language_image(uint32_t id);
// The cache of the small pictures, by language id, for lists that show them.
cImageCache& small_language_images();

#endif
