// The names of the profile document (profile.xml) in one place: elements,
// attributes, the method words and the XPath texts.
//
//   <Ordvale>
//     <TypeProfiles default="Type1">
//       <TypeConfigure id="Type1" displayname="Profile1" rootpath="">
//         <Folder displayname="Pictures" location=""> <Ext t=".jpg"/> </Folder>
//         <Ext ti="3"/>
//       </TypeConfigure>
//     </TypeProfiles>
//   </Ordvale>
#pragma once

#include <string>

namespace ordvale::profile_doc {

constexpr const wchar_t* kRootElement = L"Ordvale";
constexpr const wchar_t* kFolderElement = L"Folder";

// Method words, by TidyMethod 1..4.
constexpr const wchar_t* kMethodType = L"Type";
constexpr const wchar_t* kMethodTime = L"Time";
constexpr const wchar_t* kMethodSize = L"Size";
constexpr const wchar_t* kMethodName = L"Name";
// Empty for a value that names no method.
const wchar_t* MethodWord(int method);

// Rule elements, one per method.
constexpr const wchar_t* kTypeRuleElement = L"Ext";
constexpr const wchar_t* kTimeRuleElement = L"Time";
constexpr const wchar_t* kSizeRuleElement = L"Size";
constexpr const wchar_t* kNameRuleElement = L"Name";

// Attributes of W + "Profiles" and W + "Configure".
constexpr const wchar_t* kAttrDefault = L"default";
constexpr const wchar_t* kAttrId = L"id";
constexpr const wchar_t* kAttrDisplayName = L"displayname";
constexpr const wchar_t* kAttrRootPath = L"rootpath";
// Attributes of Folder.
constexpr const wchar_t* kAttrLocation = L"location";
// Attributes of the rule elements.
constexpr const wchar_t* kAttrTypeKind = L"ti";
constexpr const wchar_t* kAttrExtension = L"t";
constexpr const wchar_t* kAttrTimeKind = L"ti";
constexpr const wchar_t* kAttrBegin = L"begin";
constexpr const wchar_t* kAttrEnd = L"end";
constexpr const wchar_t* kAttrSizeKind = L"si";
constexpr const wchar_t* kAttrLower = L"lower";
constexpr const wchar_t* kAttrUpper = L"upper";
constexpr const wchar_t* kAttrNameKind = L"ni";
constexpr const wchar_t* kAttrFrom = L"from";
constexpr const wchar_t* kAttrTo = L"to";
constexpr const wchar_t* kAttrRegExp = L"regexp";

// Defaults of the rule attributes when read.
constexpr const wchar_t* kDefaultKind = L"0";
constexpr const wchar_t* kDefaultDate = L"0000-00-00 00:00:00";
constexpr const wchar_t* kDefaultSize = L"0";
constexpr const wchar_t* kDefaultFrom = L" ";
constexpr const wchar_t* kDefaultTo = L"~";

// XPath texts; "%s" is filled by the callers.
constexpr const wchar_t* kXPathProfiles = L"//Ordvale/%sProfiles";
constexpr const wchar_t* kXPathProfile = L"//Ordvale/%sProfiles/%sConfigure[@id=\"%s\"]";
constexpr const wchar_t* kXPathFolders = L"./Folder";
constexpr const wchar_t* kXPathChildRules = L"./%s";

std::wstring ProfilesElementName(const wchar_t* methodWord);   // W + "Profiles"
std::wstring ProfileElementName(const wchar_t* methodWord);    // W + "Configure"
std::wstring ProfilesXPath(const wchar_t* methodWord);
// Empty, which selects nothing, for an identifier with a double quote.
std::wstring ProfileXPath(const wchar_t* methodWord, const wchar_t* profileId);
std::wstring ChildRulesXPath(const wchar_t* ruleElement);

}  // namespace ordvale::profile_doc
