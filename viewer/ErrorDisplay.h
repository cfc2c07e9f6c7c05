#pragma once

#include <QString>

#include <exception>
#include <functional>

// The program's one general error display. A failure that leaves one of our
// event handlers ends up here: a message box with the stop icon and "OK",
// and the program goes on.

// The text shown for an exception (with the full stop already applied).
QString ApplicationErrorText(const std::exception& error);
// The text shown for something thrown that is no std::exception.
QString UnknownErrorText();

// Appends "." when the last character sorts after "." (letters and digits do;
// "!", ")" and "." do not).
QString WithFullStop(const QString& text);

// The message box title: the program file's name without folder, cut at its
// first ".", every character after the first in lower case.
QString ApplicationTitleFor(const QString& programFilePath);
QString ApplicationTitle();

// Receives what the display would show instead of a modal message box: a
// window hands in its own (tests do). Empty: the message box.
using TErrorSink = std::function<void(const QString& title, const QString& text)>;

void ShowApplicationError(const std::exception& error, const TErrorSink& sink = {});
void ShowUnknownError(const TErrorSink& sink = {});
// A failure that is no exception, such as a printer that refused the pages;
// the text as it is shown.
void ShowApplicationErrorText(const QString& text, const TErrorSink& sink = {});

// Runs f and hands any exception to the error display (to sink when one is
// given), so that no exception unwinds through the toolkit's frames. Every
// body that the toolkit calls (slots, event overrides, timers) goes through here.
template <class F>
void Guarded(F&& f, const TErrorSink& sink = {})
{
    try {
        f();
    } catch (const std::exception& error) {
        ShowApplicationError(error, sink);
    } catch (...) {
        ShowUnknownError(sink);
    }
}
