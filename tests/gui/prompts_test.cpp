// The prompts: the program's filter syntax in Qt's terms, and scripted answers for tests.
#include "scripted_prompts.h"

#include <gtest/gtest.h>

namespace corvane::gui {
namespace {

TEST(FilterSyntax, ProgramFiltersBecomeQtFilters)
{
    EXPECT_EQ(
        qtFilterFromProgramFilter(QStringLiteral("Bmp Files *.Bmp|*.bmp|JPEG Files *.Jpg|*.jpg")),
        QStringLiteral("Bmp Files *.Bmp (*.bmp);;JPEG Files *.Jpg (*.jpg)"));
    EXPECT_EQ(
        qtFilterFromProgramFilter(QStringLiteral("All image files|*.Bmp;*.Jpg;*.Tif|Any|*.*")),
        QStringLiteral("All image files (*.Bmp *.Jpg *.Tif);;Any (*.*)"));
    EXPECT_EQ(qtFilterFromProgramFilter(QStringLiteral("DXF files|*.Dxf|*.dxf")),
              QStringLiteral("DXF files (*.Dxf)"))
        << "a description without patterns is dropped";
    EXPECT_EQ(qtFilterFromProgramFilter(QString()), QString());
}

TEST(ScriptedPrompts, AnswersInOrderThenFallsBackToNothingChosen)
{
    ScriptedPrompts scripted;
    EXPECT_EQ(&prompts(), &scripted);
    scripted.answerMessage(ButtonNo);
    EXPECT_EQ(
        prompts().message(MessageKind::Warning, "T", "Q?", ButtonYes | ButtonNo | ButtonCancel),
        ButtonNo);
    EXPECT_EQ(
        prompts().message(MessageKind::Warning, "T", "Q?", ButtonYes | ButtonNo | ButtonCancel),
        ButtonCancel);
    EXPECT_EQ(prompts().message(MessageKind::Information, "T", "Done", ButtonOk), ButtonOk);
    EXPECT_FALSE(prompts().openFile({}).has_value());
    EXPECT_FALSE(prompts().browseFolder("Pick").has_value());
    ASSERT_EQ(scripted.messages.size(), 3u);
    EXPECT_EQ(scripted.messages[2].text, QStringLiteral("Done"));
}

} // namespace
} // namespace corvane::gui
