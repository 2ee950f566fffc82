#include "gui/picture/image_menu.h"

#include <QAction>
#include <QMenu>
#include <initializer_list>
#include <utility>

namespace corvane::gui {

namespace {

using Entry = std::pair<const char*, const char*>; // item name, caption

void addItems(QMenu& menu, std::initializer_list<Entry> entries, std::map<QString, QAction*>& items)
{
    for (const auto& [name, caption] : entries) {
        QAction* action = menu.addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        items[action->objectName()] = action;
    }
}

QMenu* addSubmenu(QMenu& parent, const char* name, const char* caption,
                  std::map<QString, QAction*>& items)
{
    QMenu* submenu = parent.addMenu(QString::fromUtf8(caption));
    submenu->menuAction()->setObjectName(QString::fromLatin1(name));
    items[submenu->menuAction()->objectName()] = submenu->menuAction();
    return submenu;
}

} // namespace

QMenu* buildImageMenu(QWidget* owner, std::map<QString, QAction*>& items)
{
    auto* image = new QMenu(QStringLiteral("&Image"), owner);

    QMenu* convert = addSubmenu(*image, "mnuConvert", "&Convert", items);
    addItems(*convert, {{"mnuConvertToMillions", "To &millions of colors"}}, items);
    QMenu* to256 = addSubmenu(*convert, "mnuConvertTo256", "To &256 Colors", items);
    addItems(*to256,
             {{"Popularity1", "&Popularity"},
              {"MedianCut1", "&Median Cut"},
              {"Uniform8841", "Uniform &884"},
              {"Uniform6661", "Uniform &666"},
              {"GreyScale1", "&Grey Scale"},
              {"Halftone1", "&Halftone"}},
             items);
    addItems(*convert, {{"mnuConvertTo16", "To &16 Colors"}, {"mnu8Colors", "Use &8 Colrors"}},
             items);
    QMenu* gray = addSubmenu(*convert, "mnuConvertToGray", "To &Grayscale", items);
    addItems(*gray,
             {{"mnuGrayMax", "&Maximum"},
              {"mnuGrayMean", "M&ean"},
              {"mnuGrayWeighted", "&Weighted Mean"}},
             items);
    addItems(*convert,
             {{"BlackandWhite2", "&Black and White"}, {"mnuConvertToNegative", "&Negative"}},
             items);

    QMenu* reduce = addSubmenu(*image, "mnuReduceGrey", "&Reduce Shades of Grey", items);
    addItems(*reduce,
             {{"mnuReduceTo64", "To &64 Shades"},
              {"mnuReduce32", "To &32 Shades"},
              {"mnuReduce16", "To &16 Shades"}},
             items);
    addItems(*image, {{"mnuAdjustImge", "&Image Adjustment"}}, items);
    QMenu* edges = addSubmenu(*image, "mnuFindEdges", "&Find Edges", items);
    addItems(*edges,
             {{"mnuGradientEdge", "&Gradient Edge"},
              {"mnuLaplace", "&Laplace"},
              {"mnuMatchedFilter", "&Matched Filter"},
              {"mnuShiftDifference", "&Shift and Difference"},
              {"mnuSobel", "S&obel"}},
             items);
    addItems(*image,
             {{"mnuEnhance", "&Enhance Edges"},
              {"mnuEmboss", "Em&boss"},
              {"mnu3dShade", "3&D Shade"},
              {"mnu3dShade2", "&3D Texture Shade"},
              {"mnuDespeckle", "&Despeckle"},
              {"mnuPosterize", "&Posterize"}},
             items);
    QMenu* sharpen = addSubmenu(*image, "mnuSharpenMenu", "&Sharpen", items);
    addItems(*sharpen,
             {{"mnuSharpen", "&Sharpen"},
              {"mnuSharpenMore", "Sharpen &More"},
              {"mnuSharpenMax", "Sharpen Max"}},
             items);
    QMenu* blur = addSubmenu(*image, "mnuBlurMenu", "&Blur", items);
    addItems(*blur,
             {{"mnuBlur", "&Soften"}, {"mnuBlurMore", "&Blur "}, {"mnuBlurMax", "Blur &More"}},
             items);
    addItems(*image, {{"mnuFlip", "F&lip"}, {"Flip901", "Rotate &90"}, {"Resize1", "Res&ize"}},
             items);
    return image;
}

} // namespace corvane::gui
