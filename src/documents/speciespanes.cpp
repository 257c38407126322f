#include "documents/speciespanes.h"

#include <QHash>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QTreeWidget>

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

void describe(QTreeWidgetItem* item, const kb::SpeciesTree::Node& n) {
    item->setText(0, n.text);
    item->setIcon(0, treeIcon(n.image));
    item->setData(0, Qt::UserRole, n.key);
    item->setData(0, Qt::UserRole + 1, n.tag);
}

void addChildren(QTreeWidgetItem* item, const kb::SpeciesTree& data, int node) {
    for (int child : data.node(node).children) {
        auto* c = new QTreeWidgetItem(item);
        describe(c, data.node(child));
        addChildren(c, data, child);
    }
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

void fillSpeciesTree(QTreeWidget* tree, const kb::SpeciesTree& data) {
    tree->clear();
    tree->setUpdatesEnabled(false);
    for (int root : data.roots()) {
        auto* item = new QTreeWidgetItem(tree);
        describe(item, data.node(root));
        addChildren(item, data, root);
    }
    tree->setUpdatesEnabled(true);
}

void fillSpeciesList(QListWidget* list, const QStringList& lines) {
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(lines);
    list->setUpdatesEnabled(true);
}

void connectBookImages(QTreeWidget* tree) {
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree, [](QTreeWidgetItem* item) {
        item->setIcon(0, treeIcon(QStringLiteral("livre_ouvert")));
    });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, tree, [](QTreeWidgetItem* item) {
        item->setIcon(0, treeIcon(QStringLiteral("livre_ferme")));
    });
}

}  // namespace documents
