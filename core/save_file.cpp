#include "core/save_file.h"

#include <QSaveFile>

namespace {

class QtSaveFile : public SaveFile
{
  public:
    explicit QtSaveFile(const QString &path) : m_file(path) {}

    bool open() override { return m_file.open(QIODevice::WriteOnly); }
    qint64 write(const QByteArray &bytes) override { return m_file.write(bytes); }
    bool flush() override { return m_file.flush(); }
    bool commit() override { return m_file.commit(); }
    void cancelWriting() override { m_file.cancelWriting(); }

  private:
    QSaveFile m_file;
};

} // namespace

std::unique_ptr<SaveFile> makeQSaveFile(const QString &path)
{
    return std::make_unique<QtSaveFile>(path);
}
