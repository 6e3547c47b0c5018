// Where the profile editor's window-free code gets its user-visible texts:
// the string table of a module, by number. The page hands its own module; the
// tests hand theirs, which carries the same resources.
#pragma once
#include <windows.h>

#include <string>

namespace ordvale::editor {

class TextSource {
public:
    virtual ~TextSource() = default;
    virtual std::wstring Text(UINT id) const = 0;
};

class ModuleTexts : public TextSource {
public:
    explicit ModuleTexts(HINSTANCE module) : module_(module) {}
    std::wstring Text(UINT id) const override;

private:
    HINSTANCE module_;
};

// The application title, the caption of message boxes that name no other.
std::wstring AppTitle(const TextSource& texts);

}  // namespace ordvale::editor
