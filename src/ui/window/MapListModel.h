#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <cstdint>

namespace quarnel {

struct MapList;

// The entries of a map list as rows of a list view. A row's name is converted from the file
// system's bytes only when the view asks for it, so a folder of thousands of maps costs no
// object per map; the view shows what the form holds, with no copy of the names.
class MapListModel : public QAbstractListModel {
public:
    explicit MapListModel(const MapList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Takes up the list's entries after they may have changed; true when they did (the rows
    // were reset), false when the same names are in the same order.
    bool reload();

    // The size the view's uniform rows take from the last row: that of the widest name, so
    // that a long name can still be scrolled into view.
    void setLastRowSize(QSize size);

private:
    const MapList& list_;
    int rows_ = 0;
    std::uint64_t fingerprint_ = 0;
    QSize lastRowSize_;
};

} // namespace quarnel
