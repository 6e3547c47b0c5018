// What the profile page shows again after an edit: the changes a command
// makes are gathered and shown once, in one order (path box, list or row and
// pane, selection, Save), and Save follows the profile's modified flag.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "EditorContext.h"

using namespace ordvale;
using namespace ordvale::wizard;

namespace {

// Records what the page would do, one line per call.
class RecordingView : public ChangeView {
public:
    RecordingView() {
        names[&root] = "root";
        names[&docs] = "Docs";
        names[&music] = "Music";
    }
    std::string Name(const ProfileItemRef& item) const {
        const std::string folder = names.at(item.folder);
        return item.IsRule() ? folder + "#" + std::to_string(item.ruleIndex) : folder;
    }
    void ShowPathsOf(FolderNode* folder) override { calls.push_back("paths " + names.at(folder)); }
    void ListAgain() override { calls.push_back("list"); }
    void ShowRow(const ProfileItemRef& item) override { calls.push_back("row " + Name(item)); }
    void FillPaneAgain(const ProfileItemRef& item) override { calls.push_back("pane " + Name(item)); }
    void SelectAlone(const ProfileItemRef& item) override { calls.push_back("select " + Name(item)); }
    void ShowSaveState() override { calls.push_back("save"); }

    FolderNode root{ModelMethod::Type}, docs{ModelMethod::Type}, music{ModelMethod::Type};
    std::map<const FolderNode*, std::string> names;
    std::vector<std::string> calls;
};

}  // namespace

TEST(EditorChanges, ACommandsChangesShowOnceInOneOrder) {
    RecordingView view;
    const ProfileItemRef rule0 = RuleRef(&view.root, 0), rule1 = RuleRef(&view.root, 1);
    const ProfileItemRef docs = FolderRef(&view.docs), music = FolderRef(&view.music);
    struct Case {
        const char* name;
        std::vector<EditorChange> changes;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {"a placed rule: the list, then the rule selected, then Save",
         {EditorChange::Listed(rule1)},
         {"list", "select root#1", "save"}},
        {"a pane's update: its row, its pane filled again",
         {EditorChange::Edited(rule0, true)},
         {"row root#0", "pane root#0", "save"}},
        {"a renamed folder: the path box before its row",
         {EditorChange::Renamed(docs)},
         {"paths Docs", "row Docs", "save"}},
        {"the same row twice: once, with its pane",
         {EditorChange::Edited(rule0, false), EditorChange::Edited(rule0, true)},
         {"row root#0", "pane root#0", "save"}},
        {"two rows: the folder listed again",
         {EditorChange::Edited(rule0, true), EditorChange::Edited(rule1, true)},
         {"list", "save"}},
        {"a row and a listing: the listing alone",
         {EditorChange::Edited(rule0, true), EditorChange::Listed()},
         {"list", "save"}},
        {"a listing and a row: still the listing, the selection kept",
         {EditorChange::Listed(rule1), EditorChange::Edited(rule1, true)},
         {"list", "select root#1", "save"}},
        {"two selections: the later one",
         {EditorChange::Listed(rule0), EditorChange::Listed(rule1)},
         {"list", "select root#1", "save"}},
        {"renamed folders: each once, before the listing",
         {EditorChange::Renamed(docs), EditorChange::Renamed(music), EditorChange::Renamed(docs)},
         {"paths Docs", "paths Music", "list", "save"}},
        {"nothing listed changed: Save follows all the same",
         {EditorChange{}},
         {"save"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.calls.clear();
        ChangeQueue queue(view);
        {
            const ChangeQueue::Hold hold(queue);
            for (const EditorChange& change : c.changes) queue.Add(change);
            EXPECT_TRUE(view.calls.empty()) << "nothing shows while the command runs";
        }
        EXPECT_EQ(view.calls, c.shown);
    }
}

TEST(EditorChanges, HoldsNestAndOutsideOneAChangeShowsAtOnce) {
    RecordingView view;
    ChangeQueue queue(view);
    queue.Add(EditorChange::Listed());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"list", "save"}));

    view.calls.clear();
    {
        const ChangeQueue::Hold outer(queue);
        {
            const ChangeQueue::Hold inner(queue);
            queue.Add(EditorChange::Edited(FolderRef(&view.docs), false));
        }
        EXPECT_TRUE(view.calls.empty()) << "an inner hold leaves the showing to the outer one";
        queue.Add(EditorChange::Edited(FolderRef(&view.docs), true));
    }
    EXPECT_EQ(view.calls, (std::vector<std::string>{"row Docs", "pane Docs", "save"}));

    view.calls.clear();
    { const ChangeQueue::Hold idle(queue); }
    EXPECT_TRUE(view.calls.empty()) << "a command that changed nothing shows nothing";
    queue.Add(EditorChange::Listed());
    EXPECT_EQ(view.calls, (std::vector<std::string>{"list", "save"})) << "nothing left over from before";
}
