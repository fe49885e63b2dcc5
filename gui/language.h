#ifndef GUI_LANGUAGE_H
#define GUI_LANGUAGE_H

#include <stdint.h>

// A source of language containers ("CIOMLAFI"), registered on construction
// in a process-wide list (registration order); never unregistered.
class cLibLang {
public:
    cLibLang();
    virtual ~cLibLang();
    cLibLang(const cLibLang&) = delete;
    cLibLang& operator=(const cLibLang&) = delete;

    virtual bool HasLanguage(uint32_t index) = 0;
    // Byte size of the language's container; 0 when absent.
    virtual int32_t LoadLanguage(uint32_t index) = 0;
    // Address of the language's container; null when absent.
    virtual const uint8_t* ReleaseLanguage(uint32_t index) = 0;
    virtual uint32_t DefaultLanguage() = 0;

    static void Register(cLibLang* provider);
};

// The framework's own containers, nine languages (no Spanish).
class cCIOMLang : public cLibLang {
public:
    bool HasLanguage(uint32_t index) override;
    int32_t LoadLanguage(uint32_t index) override;
    const uint8_t* ReleaseLanguage(uint32_t index) override;
    uint32_t DefaultLanguage() override;
};

// True when the framework's provider exists (created once by the GUI start).
bool language_provider_exists();

// Loads every provider's container for the language into the global catalog
// and makes it current (also when a provider failed: then false).
bool set_language(uint32_t index);
// 10 until a language was set.
uint32_t get_current_language();
// The first provider's default language made current; false without one.
bool apply_default_language();
// "ENG", "RUS", ...; "INV" for an unknown index.
const wchar_t* get_language_code(uint32_t index);
// The language's own name; null for an unknown index.
const wchar_t* get_language_name(uint32_t index);

#endif
