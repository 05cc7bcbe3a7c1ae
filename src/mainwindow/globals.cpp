#include "mainwindow/globals.h"

#include "mainwindow/designfile/DesignFileFormat.h"

QString Start_Card_Option;
std::atomic<int> Card_Shape{0};
QString Project_File_Name;
QString export_template_name;
QString lib_window_sel_file;
const QString design_file_EXT = QStringLiteral("dcard");
std::atomic<bool> Excel_Binding_Use{false};
QString Excel_Source_Path;
QString CARD_SIDE_STR = QStringLiteral("2");
std::atomic<qint64> Design_File_Byte_Limit{designfile::kMaxDesignFileBytes};
std::atomic<qint64> Design_File_Value_Limit{designfile::kMaxDesignFileValues};

Q_LOGGING_CATEGORY(lcMainWindow, "quvo.mainwindow", QtWarningMsg)
