#ifndef GUI_LANGUAGE_H
#define GUI_LANGUAGE_H

#include <stdint.h>

struct cBuiltinContainer;

// Language indexes 0 to 9: ENG, RUS, DEU, JPN, KOR, FRA, UKR, ESP, CHN, TWN.
// Everything here runs on the GUI thread.

// A source of language containers ("CIOMLAFI"), registered on construction
// in a process-wide list (registration order, each provider once). A
// provider normally lives until exit; one that is destroyed leaves the list.
class cLibLang {
public:
    cLibLang();
    virtual ~cLibLang();
    cLibLang(const cLibLang&) = delete;
    cLibLang& operator=(const cLibLang&) = delete;

    virtual bool HasLanguage(uint32_t index) = 0;
    // Byte size of the language's container; 0 when absent.
    virtual int32_t LoadLanguage(uint32_t index) = 0;
    // Address of the language's container; null when absent. The container
    // stays owned by the provider.
    virtual const uint8_t* ReleaseLanguage(uint32_t index) = 0;
    // The index to use when the asked one is missing.
    virtual uint32_t DefaultLanguage() = 0;

    // Adds the provider to the list unless it is listed already.
    static void Register(cLibLang* provider);
    // Puts the provider at the head of the list, listed or not.
    static void RegisterFirst(cLibLang* provider);
};

// A provider of containers built into the program: a table of containers
// by language index (static data), whose first entry is the default.
class cBuiltinLang : public cLibLang {
public:
    cBuiltinLang(const cBuiltinContainer* containers, uint32_t container_count);

    bool HasLanguage(uint32_t index) override;
    int32_t LoadLanguage(uint32_t index) override;
    const uint8_t* ReleaseLanguage(uint32_t index) override;
    uint32_t DefaultLanguage() override;

private:
    const cBuiltinContainer* Find(uint32_t index) const;

    const cBuiltinContainer* table;
    uint32_t count;
};

// The framework's own containers, nine languages: every index but 7
// (Spanish), for which its default, English, serves. It is always the first
// provider, also when the application created its own before the GUI
// started, so its default language is the process's default and the
// application's containers are read after it.
class cCIOMLang : public cBuiltinLang {
public:
    cCIOMLang();
    ~cCIOMLang() override;
};

// True while a cCIOMLang exists: the GUI start creates the one the process
// keeps, the first time only.
bool language_provider_exists();

// Loads every provider's container for the language (or the provider's
// default when it lacks it) into the global catalog and makes the index
// current, also when a provider failed: then false, and that provider's
// texts stay as they were. The interface face is chosen again afterwards.
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
