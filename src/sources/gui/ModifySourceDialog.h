#pragma once

#include "sources/gui/SourceFieldsDialog.h"

struct AppState;
class SourceStore;

// The modify dialog (it has no title). It shows the row that the source
// manager copied into AppState.activeSource, AppState.editedSourceId and
// AppState.editedSourceDate, and saves it back under that ID. On success the
// saved texts (the expressions with the quote token, empty boxes as empty
// text) and the save date go back into AppState for the manager's list.
class ModifySourceDialog : public SourceFieldsDialog {
    Q_OBJECT

public:
    ModifySourceDialog(AppState &state, SourceStore &store, QWidget *parent = nullptr);

private:
    void SaveChanges();

    AppState &m_state;
    SourceStore &m_store;
};
