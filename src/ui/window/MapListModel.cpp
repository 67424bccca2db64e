#include "window/MapListModel.h"

#include "common/AnsiText.h"
#include "settings/ServerSettings.h"

namespace quarnel {

namespace {

// FNV-1a over the names and their ends: tells a refill with other names from a refill (or a
// change of selection) that leaves the names as they were.
std::uint64_t fingerprintOf(const MapList& list) {
    std::uint64_t hash = 14695981039346656037ULL;
    const auto add = [&hash](unsigned char byte) {
        hash = (hash ^ byte) * 1099511628211ULL;
    };
    for (const auto& entry : list.entries) {
        for (const char c : entry)
            add(static_cast<unsigned char>(c));
        add(0);
    }
    return hash;
}

} // namespace

MapListModel::MapListModel(const MapList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), rows_(static_cast<int>(list.count())),
      fingerprint_(fingerprintOf(list)) {}

int MapListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant MapListModel::data(const QModelIndex& index, int role) const {
    const auto row = static_cast<std::size_t>(index.row());
    if (!index.isValid() || row >= list_.count())
        return {};
    if (role == Qt::DisplayRole)
        return fromNativePath(list_.entries[row]);
    if (role == Qt::SizeHintRole && index.row() == rows_ - 1 && lastRowSize_.isValid())
        return lastRowSize_;
    return {};
}

bool MapListModel::reload() {
    const auto rows = static_cast<int>(list_.count());
    const std::uint64_t fingerprint = fingerprintOf(list_);
    if (rows == rows_ && fingerprint == fingerprint_)
        return false;
    beginResetModel();
    rows_ = rows;
    fingerprint_ = fingerprint;
    lastRowSize_ = {};
    endResetModel();
    return true;
}

void MapListModel::setLastRowSize(QSize size) {
    if (rows_ == 0 || size == lastRowSize_)
        return;
    lastRowSize_ = size;
    const QModelIndex last = index(rows_ - 1);
    emit dataChanged(last, last, {Qt::SizeHintRole});
}

} // namespace quarnel
