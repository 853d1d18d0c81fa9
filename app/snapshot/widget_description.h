// The window as data: what each named widget shows and what every grid holds. An unattended
// --snapshot run writes it beside its screenshots, so support staff and tests read the window
// without looking at pixels. Keys and shapes are fixed; tests and tickets rely on them:
//   ITEM = { "class", "visible", "enabled", and where they apply "text", "checked", "value", "color" }
//   GRID = { "rows", "cols", "cells": [[str, ...], ...] }
#pragma once

#include <QJsonObject>
#include <QString>

class QWidget;

namespace talvo::app {

// `visible` is whether the widget shows once `relativeTo` (its page, or the window) is shown,
// so a page describes the same whichever page happens to be current.
QJsonObject DescribeItem(const QWidget* widget, const QWidget* relativeTo);

// The program's StringGrid and every table, tree and list view.
bool IsGrid(const QWidget* widget);
// Row-major as displayed: a StringGrid with all its cells, fixed row and column included;
// other views with their header row (and a table's row headers) when shown, hidden rows and
// columns left out, columns in the order shown, top-level items only. Not a grid: empty.
QJsonObject DescribeGrid(const QWidget* widget);

// Every named widget below `root` (Qt's own "qt_" children, other windows and the `exclude`
// subtree left out): grids into `grids`, the rest into `items`; a grid's own children are not
// listed. The key is the objectName; a name that repeats below root is keyed, for each of its
// widgets, by its nearest named container whose name is unique below root and its own name,
// joined by '/' ("Coord1_ABS/Pos1"), or by the whole path of named containers when none is
// unique; keys that still clash get "#1", "#2", ... in tree order.
void DescribeNamed(const QWidget* root, const QWidget* relativeTo, QJsonObject& items,
                   QJsonObject& grids, const QWidget* exclude = nullptr);

// Writes the document as indented UTF-8 JSON, replacing the file only once it is complete.
bool WriteSnapshotJson(const QString& path, const QJsonObject& document);

}  // namespace talvo::app
