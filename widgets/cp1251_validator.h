// Edit boxes whose text goes into a Windows-1251 file take only what the file
// can hold. A key or a paste that would bring in any other character is
// refused whole, the box stays as it was, and a balloon at the box names the
// characters and why: nothing turns into '?' later without a word.
#pragma once

#include <QString>
#include <QValidator>

class QLineEdit;

class Cp1251Validator : public QValidator
{
    Q_OBJECT

  public:
    // Becomes the box's validator; inFile names the file in the hint ("в файле форм").
    Cp1251Validator(QLineEdit *box, QString inFile);

    State validate(QString &input, int &pos) const override;

  signals:
    // An edit was refused for its characters (not for the box's length) and
    // the hint is on screen: "Нельзя ввести «é», «ß»:" and on a second line
    // "в файле форм хранятся только символы Windows-1251".
    void refused(const QString &hint);

  private:
    void inputRejected();

    QLineEdit *m_box;
    QString m_inFile;
    // The text the last validation refused, until the box reports the
    // refusal or its text changes by other means.
    mutable QString m_refusedText;
};
