#include "mainwindow/MenuHint.h"

#include "framework/LanguageInfo.h"
#include "framework/LanguageResource.h"
#include "framework/ResourceString.h"
#include "resources/MenuIds.h"
#include "resources/StatusBarIds.h"

namespace {

std::string Numbered(UINT formatId, int number) {
    ResourceString text(LanguageResource().GetModule());
    std::string format = text.Load(formatId);
    if (format.empty()) return format;
    return text.Format(format.c_str(), number);
}

}  // namespace

std::string MenuHint::Text(UINT id) {
    if (id >= LanguageResource::kFirstId && id <= LanguageResource::kLastId) {
        LanguageInfo info;
        return LanguageResource().GetInfo(id, &info) ? info.statusText : "";
    }
    if (id >= ID_COMM_PORT_FIRST && id <= ID_COMM_PORT_LAST)
        return Numbered(IDS_HINT_PORT, static_cast<int>(id - ID_COMM_PORT_FIRST + 1));
    // All seven areas, not only the first four, share the one text.
    if (id >= ID_AREA_SELECT1 && id <= ID_AREA_SELECT7)
        return Numbered(IDS_HINT_SELECT_AREA, static_cast<int>(id - ID_AREA_SELECT1 + 1));
    ResourceString text(LanguageResource().GetModule());
    return text.Load(id);
}
