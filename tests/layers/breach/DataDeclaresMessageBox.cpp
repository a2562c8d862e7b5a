// A data source that declares the message box itself, so that no header is needed.
class QMessageBox;

QMessageBox* Box()
{
    return nullptr;
}
