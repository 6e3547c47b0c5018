// The wizard's rules that need no window: which page follows which, what the
// navigation buttons show, how the method choices map to methods, the help
// topics, the destination kept at Finish, and the profile list of a method.
#pragma once
#include <string>
#include <vector>

#include "common/MethodProfile.h"
#include "common/TidyJob.h"

namespace ordvale::wizard {

// The wizard's pages, by their positions in the frame; None: no page.
enum class Page : int { None = -1, Target = 0, Items = 1, Method = 2, Profile = 3, Summary = 4 };
constexpr int kPageCount = 5;
// The page at a position, None for a position outside 0 to 4.
Page PageAt(int position);

// Label codes of the two navigation buttons.
enum LabelCode : int { kLabelNone = 0, kLabelExit = 1, kLabelFinish = 2, kLabelPrevious = 3, kLabelNext = 4 };

struct ButtonLabel {
    unsigned stringId;  // 0: no caption
    bool shown;
};
ButtonLabel LabelForCode(int code);

struct PageButtons {
    int left;
    int right;
};
PageButtons ButtonsForPage(Page page);

// Where Previous leads from a page (None: nowhere).
Page PreviousPage(Page page, int target);
// Where Next leads from a page (None: stays; the target page moves on through its links).
Page NextPage(Page page);

// Method choice position (Type, Name, Size, Time) to method code; 0 for none.
int MethodForPosition(int position);
int PositionForMethod(int method);  // -1 for none

// The page's topic; the wizard's own for None.
const wchar_t* HelpTopic(Page page);
std::wstring HelpPath(const std::wstring& folder, Page page);  // "%s\Ordvale.chm::%s", cut to 259

// The destination kept at Finish: the typed text, trimmed of spaces and tabs,
// when it names an existing folder other than the default destination
// (ignoring case), else empty.
std::wstring FinishDestination(const TidyJob& job, const std::wstring& typed);

// Empties the job's selection and adds every row through AddItem.
void CollectItems(TidyJob* job, const std::vector<std::wstring>& rows);

// Whether a row with this text (ignoring case) is already listed.
bool ContainsRow(const std::vector<std::wstring>& rows, const std::wstring& path);

// The method's profiles in document order; empty when the document or the
// method's section is missing.
std::vector<ProfileEntry> LoadProfileList(const wchar_t* profileFile, int method);
// Index of the entry to select: the last one marked default, else -1.
int DefaultEntryIndex(const std::vector<ProfileEntry>& entries);

// Copies the shipped default document to profileFile (creating its folder)
// when no file exists there. Returns whether a copy was made.
bool EnsureProfileDocument(const std::wstring& profileFile, const std::wstring& shippedDocument);
constexpr const wchar_t* kShippedProfilesName = L"DefaultProfiles.xml";

}  // namespace ordvale::wizard
