#include "app/curves/chart_export.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QPainter>

#include "text/durable_file.h"

namespace talvo::app {

QString WriteFileWhole(const QString& path, const QByteArray& bytes) {
  const std::string failure = text::WriteDurably(
      path.toStdString(), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  return failure.empty() ? QString() : path + ": " + QString::fromStdString(failure);
}

QImage RenderChart(QChart& chart, const QSize& size) {
  QGraphicsScene scene;
  scene.addItem(&chart);
  chart.setGeometry(QRectF(QPointF(0, 0), size));
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), size), QRectF(QPointF(0, 0), size));
  }
  scene.removeItem(&chart);
  return image;
}

QString WritePng(const QImage& image, const QString& path) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return path + ": the picture could not be encoded";
  return WriteFileWhole(path, bytes);
}

}  // namespace talvo::app
