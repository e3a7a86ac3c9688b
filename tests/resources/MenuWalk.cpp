#include "resources/MenuWalk.h"

#include "resources/CommandIds.h"
#include "resources/TarnCommands.h"

namespace menuwalk {

const std::vector<int>& menuBarResources()
{
    static const std::vector<int> ids = {menu::MainFrame, menu::Source, menu::Message, menu::Project};
    return ids;
}

const std::vector<int>& contextMenuResources()
{
    static const std::vector<int> ids = {menu::MainContext, menu::MessageContext, menu::SourceContext,
                                         menu::ProjectContext};
    return ids;
}

std::vector<int> allMenuResources()
{
    std::vector<int> ids = menuBarResources();
    ids.insert(ids.end(), contextMenuResources().begin(), contextMenuResources().end());
    return ids;
}

namespace {
void walk(int resource, const fw::MenuItem& item, const std::function<void(int, const fw::MenuItem&)>& fn)
{
    switch (item.kind) {
    case fw::MenuItem::Kind::Command:
    case fw::MenuItem::Kind::RecentFiles:
        fn(resource, item);
        break;
    case fw::MenuItem::Kind::Submenu:
        for (const fw::MenuItem& child : item.children)
            walk(resource, child, fn);
        break;
    default:
        break;
    }
}
} // namespace

void forEachCommandItem(const std::function<void(int resource, const fw::MenuItem&)>& fn)
{
    for (int resource : allMenuResources()) {
        if (const fw::MenuLayout* layout = tarnCommandTable().menu(resource)) {
            for (const fw::MenuItem& popup : *layout)
                walk(resource, popup, fn);
        }
    }
}

const fw::MenuItem* findPopup(const fw::MenuLayout& layout, const QString& title)
{
    for (const fw::MenuItem& popup : layout) {
        if (popup.kind == fw::MenuItem::Kind::Submenu && popup.text == title)
            return &popup;
    }
    return nullptr;
}

QStringList describe(const fw::MenuItem& popup, const QString& indent)
{
    QStringList lines;
    for (const fw::MenuItem& item : popup.children) {
        switch (item.kind) {
        case fw::MenuItem::Kind::Command:
        case fw::MenuItem::Kind::RecentFiles:
            lines << indent + item.text;
            break;
        case fw::MenuItem::Kind::Separator:
            lines << indent + QStringLiteral("—");
            break;
        case fw::MenuItem::Kind::Submenu:
            lines << indent + QLatin1Char('[') + item.text + QLatin1Char(']');
            lines << describe(item, indent + QStringLiteral("  "));
            break;
        case fw::MenuItem::Kind::WindowList:
            lines << indent + QStringLiteral("<windows>");
            break;
        }
    }
    return lines;
}

QString shownKey(const QString& text)
{
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : text.mid(tab + 1);
}

} // namespace menuwalk
