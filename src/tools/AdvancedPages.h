#pragma once

#include "tools/CompileOptions.h"

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLineEdit;

// One page of the Advanced Options sheet. A page exchanges its own fields
// between its controls and the sheet's working record: it loads them when it
// is built and writes them back on OK only if the user opened it, so a page
// never opened hands back exactly the values it was given.
class CAdvancedPage : public QWidget {
    Q_OBJECT
public:
    CAdvancedPage(const QString& title, CompileOptions& record, QWidget* parent);

    const QString& title() const { return m_title; }
    // Called when the page becomes the current one.
    void markOpened() { m_opened = true; }
    bool opened() const { return m_opened; }
    // Writes the controls to the record when the page was opened.
    void OnOK();

protected:
    // saveAndValidate false: record to controls; true: controls to record.
    virtual void DoDataExchange(bool saveAndValidate) = 0;
    // Sets the minimum size from the page's size in dialog units.
    void setDialogUnits(int width, int height);

    CompileOptions& m_record;

private:
    QString m_title;
    bool m_opened = false;
};

// Check box, radio group and line edit exchange, the way all pages use them:
// a flag shows checked only when it is exactly 1; a radio value with no
// button (8 for language, any stray number) shows none checked and reads
// back as -1.
void ExchangeCheck(bool save, QCheckBox* box, std::int32_t& field);
void ExchangeRadio(bool save, QButtonGroup* group, std::int32_t& field);

class COverallPage : public CAdvancedPage {
    Q_OBJECT
public:
    COverallPage(CompileOptions& record, QWidget* parent = nullptr);

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    QCheckBox* m_noAssemble;
    QCheckBox* m_preprocessOnly;
    QCheckBox* m_debugInfo;
    QButtonGroup* m_language;
};

class CCDialectPage : public CAdvancedPage {
    Q_OBJECT
public:
    CCDialectPage(CompileOptions& record, QWidget* parent = nullptr);

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    QCheckBox* m_ansi;
    QCheckBox* m_noAsm;
    QCheckBox* m_traditional;
};

class CWarningPage : public CAdvancedPage {
    Q_OBJECT
public:
    CWarningPage(CompileOptions& record, QWidget* parent = nullptr);

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    QButtonGroup* m_warningLevel;
};

class COptimizePage : public CAdvancedPage {
    Q_OBJECT
public:
    COptimizePage(CompileOptions& record, QWidget* parent = nullptr);

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    QButtonGroup* m_optimizeLevel;
};

class COtherPage : public CAdvancedPage {
    Q_OBJECT
public:
    COtherPage(CompileOptions& record, QWidget* parent = nullptr);

protected:
    void DoDataExchange(bool saveAndValidate) override;

private:
    QLineEdit* m_otherOptions;
};
