#include "monitor/SweepCommandLine.h"

namespace {

const QString Help = QStringLiteral("--help");

} // namespace

TSweepRequest SweepRequestOf(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {};
    if (arguments == QStringList{Help})
        return {TSweepRequest::TKind::Usage, {}};
    const QString refused = arguments.front() == Help ? arguments[1] : arguments.front();
    return {TSweepRequest::TKind::Refused, refused};
}

QString SweepUsage()
{
    return QStringLiteral(
        "使い方: quorvel-sweep [--help]\n"
        "カレントディレクトリの quorvel.ini を Quorvel のウィンドウと同じく読み込み、ホストへの Ping を\n"
        "一度だけ実行して、ホスト一覧（成功、回数、メッセージ、ホスト、備考）をタブ区切りで標準出力に\n"
        "書きます。quorvel.ini は書き換えません。ウィンドウがメッセージボックスで示すエラーとメッセージは\n"
        "標準エラー出力に書きます。終了ステータスは、失敗した Ping がなければ 0、一部が失敗すれば 1、\n"
        "ホストがないか成功した Ping がひとつもなければ（Ping の回数が 0 のときも）2、コントロール\n"
        "ファイルを読めないか値が正しくないとき、または ICMP を使えないときは 3 です。\n");
}

QString RefusedArgumentMessage(const QString &argument)
{
    return QStringLiteral("quorvel-sweep: 引数 %1 は使えません。使い方は quorvel-sweep --help で表示します。\n")
        .arg(argument);
}
