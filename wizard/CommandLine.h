// The wizard's command line, without windows: the Explorer menu's commands
// start it with a target already chosen.
//
//   OrdvaleWizard.exe /desktop
//   OrdvaleWizard.exe /folder "<path>"
//   OrdvaleWizard.exe /items "<path>" ["<path>" ...]
//   OrdvaleWizard.exe /history          (the History window alone)
//
// Explorer starts a verb once per selected item, so the starts of one
// selection are gathered into the first of them (StartMailbox.h); what they
// asked for together becomes one StartTarget here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ordvale::wizard {

enum class StartMode : int32_t {
    Plain = 0,    // no target given: the wizard opens on the target page
    Desktop = 1,  // /desktop
    Folder = 2,   // /folder "<path>"
    Items = 3,    // /items "<path>" ...
    History = 4,  // /history: the History window alone, no wizard
};

// What one start's command line asks for, its paths as given (unchecked).
struct StartRequest {
    StartMode mode = StartMode::Plain;
    std::vector<std::wstring> paths;
};

// Splits the arguments (the program's name not included) into words. Spaces
// and tabs separate words outside double quotes; quotes group and are
// dropped. A backslash is always itself: no path holds a quote, and
// Explorer gives a drive root as "C:\" (which the C runtime's rule would
// read as C: followed by a quote).
std::vector<std::wstring> SplitCommandLine(const std::wstring& arguments);

// Switches are read without regard to letter case; the first of /desktop,
// /folder, /items and /history decides. /folder takes the word after it, /items every
// word after it up to the next switch. Anything else is ignored; /folder or
// /items without a path is a plain start.
StartRequest ParseStartRequest(const std::vector<std::wstring>& words);
StartRequest ParseStartRequest(const std::wstring& arguments);

// Whether a start of this kind gathers the starts that follow it: those of
// a selection (a folder among the selected items starts with /folder).
bool GathersStarts(StartMode mode);

enum class PathProblem {
    None,
    Missing,      // nothing of that name exists: left out
    NotAFolder,   // /folder names a file: left out
    NotAbsolute,  // not a full path ("C:\..." or "\\server\share\..."): refused
    TooLong,      // longer than 259 characters: refused (a cut path names another item)
};

PathProblem CheckStartPath(const std::wstring& path, bool mustBeFolder);

struct StartProblem {
    PathProblem problem;
    std::wstring path;
};

// The target the wizard opens with.
struct StartTarget {
    StartMode mode = StartMode::Plain;  // Plain when nothing usable is left
    std::wstring folder;                // Folder
    std::vector<std::wstring> items;    // Items: existing, unique ignoring case, in order
    std::vector<StartProblem> problems;  // every path left out, in order
};

// The starts of one selection, the wizard's own first: a lone /folder start
// opens on that folder, /desktop on the desktop; anything else gathered is
// one selection of every path given. Paths that are missing, relative or
// too long are left out (and listed); when nothing is left the wizard opens
// on the target page as usual.
StartTarget ResolveStart(const std::vector<StartRequest>& requests);
// The requests from `from` on (starts that came once the wizard was open),
// as a selection to join the wizard's own (Plain when nothing is left).
StartTarget ResolveLateStarts(const std::vector<StartRequest>& requests, std::size_t from);

// The message for the paths left out: one paragraph per path (the first
// `listed`; a path of more than 120 characters by its first 60 and last 50),
// then how many more. `text` gives the string table's texts.
std::wstring StartProblemsMessage(const std::vector<StartProblem>& problems,
                                  const std::function<std::wstring(unsigned)>& text, std::size_t listed = 8);

// A request as the mailbox carries it between processes: the mode as a
// 32-bit integer, then every path with its NUL, then one more NUL (UTF-16LE).
std::vector<unsigned char> EncodeStartRequest(const StartRequest& request);
// False for data that is not such a request; never reads past data + size.
bool DecodeStartRequest(const void* data, std::size_t size, StartRequest* request);

}  // namespace ordvale::wizard
