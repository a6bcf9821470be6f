// The filter document: construction with the defaults of a fresh start.
#include "app/OlvexDoc.h"

#include <cstdio>

COlvexDoc::COlvexDoc()
    : m_fnConsole([](const std::string& text) {
          std::fputs(text.c_str(), stdout);
          std::fflush(stdout);
      }) {}

void COlvexDoc::WriteConsole(const std::string& text) const {
    if (m_fnConsole) {
        m_fnConsole(text);
    }
}
