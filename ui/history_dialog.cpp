#include "ui/history_dialog.h"

#include "device/data_file.h"
#include "keydata/compare.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <fstream>
#include <iterator>

namespace ptu {

int keysInUse(const State& st, const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::vector<uint8_t> image;
    char buf[8192];
    f.read(buf, sizeof buf);
    image.assign(buf, buf + f.gcount());
    const DecodedImage d = decodeImage(st, image);
    if (!d.whole) return 0;
    // Every key that differs from an empty keyboard, the fixed texts left aside.
    const DecodedImage empty = decodeImage(st, std::vector<uint8_t>(image.size(), 0));
    return int(compareKeys(st.mv, d.hbuf, empty.hbuf).size());
}

HistoryDialog::HistoryDialog(const State& st, std::vector<HistoryEntry> entries, QWidget* parent)
    : QDialog(parent), entries_(std::move(entries))
{
    setObjectName("HistoryDialog");
    setWindowTitle("Open Recent Keyboard Image");
    setModal(true);
    List = new QTreeWidget(this);
    List->setHeaderLabels({"Date", "Direction", "Model", "Keys in use"});
    List->setRootIsDecorated(false);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const HistoryEntry& e : entries_) {
        const bool sameModel = e.model == st.mv.kbt_f;
        auto* item = new QTreeWidgetItem(List);
        item->setText(0, QString::fromStdString(e.when));
        item->setText(1, e.written ? "written" : "read");
        item->setText(2, QString::number(e.model));
        item->setText(3, sameModel ? QString::number(keysInUse(st, e.path)) : QString("another model"));
    }
    if (List->topLevelItemCount() > 0) List->setCurrentItem(List->topLevelItem(0));
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(List, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(entries_.empty() ? "No keyboard image has been kept yet."
                                                  : "Every image read from or written to a keyboard, newest first:",
                                 this));
    layout->addWidget(List, 1);
    layout->addWidget(buttons);
    resize(560, 420);
}

const HistoryEntry* HistoryDialog::chosen() const
{
    const int i = List->indexOfTopLevelItem(List->currentItem());
    return i >= 0 && size_t(i) < entries_.size() ? &entries_[size_t(i)] : nullptr;
}

}  // namespace ptu
