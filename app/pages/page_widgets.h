// Small builders the pages share, so every page's captions and value fields look alike.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QString>

namespace talvo::app {

class StringGrid;

// A caption label named `name`.
QLabel* NewCaption(QWidget* parent, const char* name, const QString& text = {});
// A sunken value field named `name`, holding `text`.
QLabel* NewValueField(QWidget* parent, const char* name, const QString& text = {});
QGroupBox* NewGroupBox(QWidget* parent, const char* name);
// A grid named `name` of `cols` x `rows` with one fixed row and `fixedCols` fixed columns.
StringGrid* NewGrid(QWidget* parent, const char* name, int cols, int rows, int fixedCols);
// The text of `format` (printf style) with one integer.
QString Numbered(const char* format, int value);

}  // namespace talvo::app
