#pragma once

#include <QRectF>

// "^" and "v": a description box grows or shrinks by 300 twips at its top edge, its bottom
// edge staying in place. Shrinking stops at 600 twips; growing stops only where the geometry
// could no longer be held exactly. Both take and give the box's place in twips.
QRectF grown(const QRectF &box);
QRectF shrunk(const QRectF &box);
