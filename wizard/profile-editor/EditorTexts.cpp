#include "EditorTexts.h"

#include "common/win/Dialog.h"
#include "resource.h"

namespace ordvale::editor {

std::wstring ModuleTexts::Text(UINT id) const {
    return win::LoadModuleText(module_, id);
}

std::wstring AppTitle(const TextSource& texts) {
    return texts.Text(IDS_PRODUCT_NAME);
}

}  // namespace ordvale::editor
