// A window that drags the files named on its command line, as a file manager would: the smoke
// test presses the mouse on it and releases it over the editor. Usage: tromel_drag_source FILE...
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

namespace {

class DragSource : public QLabel {
public:
    explicit DragSource(QList<QUrl> files) : QLabel("drag source"), m_files(std::move(files)) {
        setWindowTitle("drag source");
        setAlignment(Qt::AlignCenter);
        resize(160, 120);
    }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* drag = new QDrag(this);
        auto* data = new QMimeData;
        data->setUrls(m_files);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> m_files;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QList<QUrl> files;
    for (const QString& path : QApplication::arguments().mid(1))
        files << QUrl::fromLocalFile(path);
    DragSource source(files);
    source.move(0, 0);
    source.show();
    return QApplication::exec();
}
