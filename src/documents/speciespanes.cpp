#include "documents/speciespanes.h"

#include "documents/specieslinedelegate.h"
#include "documents/specieslistmodel.h"
#include "documents/speciestreemodel.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QTreeView>

namespace documents {

namespace {

QPixmap book(bool open) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor cover(0x3b, 0x6e, 0x4f), leaves(0xfa, 0xf6, 0xe8);
    if (open) {
        p.setPen(QPen(cover.darker(130), 1));
        p.setBrush(leaves);
        p.drawPolygon(QPolygonF({{1, 4}, {8, 5.5}, {8, 14}, {1, 12.5}}));
        p.drawPolygon(QPolygonF({{15, 4}, {8, 5.5}, {8, 14}, {15, 12.5}}));
        p.setPen(QPen(QColor(0x9a, 0x93, 0x80), 0.8));
        for (double y : {7.0, 9.0, 11.0}) {
            p.drawLine(QPointF(2.5, y - 0.5), QPointF(6.5, y + 0.4));
            p.drawLine(QPointF(9.5, y + 0.4), QPointF(13.5, y - 0.5));
        }
    } else {
        p.setPen(QPen(cover.darker(140), 1));
        p.setBrush(cover);
        p.drawRoundedRect(QRectF(3, 1.5, 10, 13), 1.5, 1.5);
        p.setBrush(leaves);
        p.drawRect(QRectF(11.5, 2.5, 1.5, 11));
        p.setPen(QPen(QColor(0xe8, 0xd8, 0x9a), 1));
        p.drawLine(QPointF(5, 5), QPointF(10, 5));
    }
    return pm;
}

QPixmap page() {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath sheet;
    sheet.moveTo(3, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(13, 4.5);
    sheet.lineTo(13, 14.5);
    sheet.lineTo(3, 14.5);
    sheet.closeSubpath();
    p.setPen(QPen(QColor(0x70, 0x78, 0x80), 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setPen(QPen(QColor(0x5a, 0x8f, 0x5e), 1.2));
    p.drawLine(QPointF(5, 7), QPointF(11, 7));
    p.drawLine(QPointF(5, 9.5), QPointF(11, 9.5));
    p.drawLine(QPointF(5, 12), QPointF(9, 12));
    return pm;
}

}  // namespace

QIcon treeIcon(const QString& image) {
    static QHash<QString, QIcon> icons;
    if (icons.isEmpty()) {
        icons.insert(QStringLiteral("livre_ferme"), QIcon(book(false)));
        icons.insert(QStringLiteral("livre_ouvert"), QIcon(book(true)));
        icons.insert(QStringLiteral("page"), QIcon(page()));
    }
    return icons.value(image);
}

void showSpeciesTree(QTreeView* view, const kb::SpeciesTree& data) {
    QAbstractItemModel* old = view->model();
    auto* model = new SpeciesTreeModel(data, view);
    view->setModel(model);
    view->setUniformRowHeights(true);
    QObject::connect(view, &QTreeView::expanded, model,
                     [model](const QModelIndex& index) { model->setOpen(index, true); });
    QObject::connect(view, &QTreeView::collapsed, model,
                     [model](const QModelIndex& index) { model->setOpen(index, false); });
    if (old && old->parent() == view) delete old;
}

void showSpeciesList(QListView* list, SpeciesListModel* model) {
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setItemDelegate(new SpeciesLineDelegate(list));
    list->setModel(model);
    // A reset drops the selection and repaints by itself; lines replaced in place do
    // neither, and the view shows only what it paints.
    QObject::connect(model, &SpeciesListModel::linesReplaced, list, [list] {
        if (QItemSelectionModel* selection = list->selectionModel()) selection->clear();
        list->viewport()->update();
    });
}

}  // namespace documents
