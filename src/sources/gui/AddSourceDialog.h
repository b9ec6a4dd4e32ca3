#pragma once

#include "sources/gui/SourceFieldsDialog.h"

#include <string>

class SourceStore;

// "添加信息源": types a new source and adds it to the store. On success it
// sets `addResult` to "添加" (code page) and closes; the source manager then
// appends the new row. A failed save keeps the dialog open for another try.
class AddSourceDialog : public SourceFieldsDialog {
    Q_OBJECT

public:
    AddSourceDialog(SourceStore &store, std::string &addResult, QWidget *parent = nullptr);

    // The text `addResult` holds after a successful add.
    static const std::string &AddedResult();

private:
    void SaveNew();

    SourceStore &m_store;
    std::string &m_addResult;
};
