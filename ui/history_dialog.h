// The list of keyboard images kept in the history: when, read or written,
// which model, how many keys in use. The chosen one is loaded as Open loads
// a file.
#pragma once

#include "device/history.h"

#include <QDialog>

#include <vector>

class QTreeWidget;

namespace ptu {

struct State;

class HistoryDialog : public QDialog {
    Q_OBJECT

public:
    HistoryDialog(const State& st, std::vector<HistoryEntry> entries, QWidget* parent = nullptr);

    QTreeWidget* List = nullptr;
    // The chosen entry, or nullptr.
    const HistoryEntry* chosen() const;

private:
    std::vector<HistoryEntry> entries_;
};

// How many keys an image holds, decoded with the model of `st`.
int keysInUse(const State& st, const std::string& path);

}  // namespace ptu
