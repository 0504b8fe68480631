#include "mainwindow/PrintView.h"

PrintView::PrintView() : m_rebar(NULL), m_scanView(NULL) {}

PrintView::~PrintView() {}

void PrintView::SetScanView(ScanView* view) {
    m_scanView = view;
}

void PrintView::SetRebar(Rebar* rebar) {
    m_rebar = rebar;
}

void PrintView::ReleaseObjects() {
    m_rebar = NULL;
    m_scanView = NULL;
}
