// Pictures and tables of the plots as files, written whole or not at all (a temporary name
// renamed into place), so an export never leaves half a file where the user looks.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QChart;
class QSize;

namespace talvo::app {

// `chart`, which is in no view, drawn at `size` pixels.
QImage RenderChart(QChart& chart, const QSize& size);
// "" when written, else what failed and why.
QString WritePng(const QImage& image, const QString& path);
QString WriteFileWhole(const QString& path, const QByteArray& bytes);

}  // namespace talvo::app
