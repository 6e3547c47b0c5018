#include "ProfileDocument.h"

#include <cwchar>

#include "Text.h"

namespace ordvale::profile_doc {

const wchar_t* MethodWord(int method) {
    switch (method) {
        case 1: return kMethodType;
        case 2: return kMethodTime;
        case 3: return kMethodSize;
        case 4: return kMethodName;
        default: return L"";
    }
}

std::wstring ProfilesElementName(const wchar_t* methodWord) {
    return FillTemplate(L"%sProfiles", {methodWord});
}

std::wstring ProfileElementName(const wchar_t* methodWord) {
    return FillTemplate(L"%sConfigure", {methodWord});
}

std::wstring ProfilesXPath(const wchar_t* methodWord) {
    return FillTemplate(kXPathProfiles, {methodWord});
}

std::wstring ProfileXPath(const wchar_t* methodWord, const wchar_t* profileId) {
    // The identifier stands between double quotes; one that holds a double
    // quote could end the string early and turn the rest into an expression
    // of its own, so it selects nothing instead.
    if (profileId && wcschr(profileId, L'"')) return std::wstring();
    return FillTemplate(kXPathProfile, {methodWord, methodWord, profileId});
}

std::wstring ChildRulesXPath(const wchar_t* ruleElement) {
    return FillTemplate(kXPathChildRules, {ruleElement});
}

}  // namespace ordvale::profile_doc
