#include "WindowChoices.h"

#include "app/gui/MainWindow.h"

#include <QRadioButton>

FetchChoices ReadFetchChoices(const MainWindow &window)
{
    FetchChoices choices;
    // Neither keyword button checked cannot happen in the window; the UTF-8
    // form is its initial state.
    choices.keywordForm = !window.keywordUtf8()->isChecked() && window.keywordEscape()->isChecked()
                              ? KeywordForm::Escape
                              : KeywordForm::Utf8;
    choices.fetchMode = FetchModeFromButtons(window.fetchMode1()->isChecked(), window.fetchMode2()->isChecked(),
                                             window.fetchMode3()->isChecked());
    choices.transcoding = TranscodingFromButtons(window.transcodeUtf8()->isChecked(), window.transcodeGbk()->isChecked(),
                                                 window.transcodeDefault()->isChecked());
    return choices;
}
