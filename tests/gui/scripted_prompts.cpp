#include "scripted_prompts.h"

namespace corvane::gui {

namespace {

template <typename T> T takeFront(std::deque<T>& queue, T fallback)
{
    if (queue.empty())
        return fallback;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

} // namespace

ScriptedPrompts::ScriptedPrompts()
{
    setPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    setPrompts(nullptr);
}

Button ScriptedPrompts::message(MessageKind kind, const QString& title, const QString& text,
                                int buttons)
{
    messages.push_back({kind, title, text, buttons});
    const Button fallback = (buttons & ButtonCancel) ? ButtonCancel
                            : buttons                ? Button(buttons & -buttons)
                                                     : ButtonOk;
    return takeFront(messageAnswers, fallback);
}

std::optional<FileChoice> ScriptedPrompts::openFile(const FileDialogRequest& request)
{
    openRequests.push_back(request);
    return takeFront(openAnswers, std::optional<FileChoice>{});
}

std::optional<FileChoice> ScriptedPrompts::saveFile(const FileDialogRequest& request)
{
    saveRequests.push_back(request);
    return takeFront(saveAnswers, std::optional<FileChoice>{});
}

std::optional<QString> ScriptedPrompts::browseFolder(const QString& title)
{
    folderTitles.push_back(title);
    return takeFront(folderAnswers, std::optional<QString>{});
}

} // namespace corvane::gui
