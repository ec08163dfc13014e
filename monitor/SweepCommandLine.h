#pragma once

#include <QString>
#include <QStringList>

// What quorvel-sweep's arguments ask for. The control file is its only
// configuration, so --help is the one argument it takes.
struct TSweepRequest {
    enum class TKind { Sweep, Usage, Refused };
    TKind Kind = TKind::Sweep;
    // The first argument it cannot take, when refused.
    QString Refused;
};

// The arguments after the program's name.
TSweepRequest SweepRequestOf(const QStringList &arguments);

// The paragraph --help prints.
QString SweepUsage();
// The line standard error gets for a refused argument.
QString RefusedArgumentMessage(const QString &argument);
