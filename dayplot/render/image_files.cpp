#include "image_files.h"

#include <QImage>
#include <QSaveFile>
#include <QString>

namespace radmon {

std::expected<void, ImageWriteFailure> writeImageFile(const QImage& image, const std::string& path,
                                                      ImageFormat format) {
  const bool jpeg = format == ImageFormat::Jpeg;
  QSaveFile file(QString::fromStdString(path));
  const bool written = file.open(QIODevice::WriteOnly) &&
                       image.save(&file, jpeg ? "JPG" : "BMP", jpeg ? 100 : -1) && file.commit();
  if (written) return {};
  ImageWriteFailure failure{file.errorString().toStdString()};
  file.cancelWriting();
  return std::unexpected(failure);
}

}  // namespace radmon
