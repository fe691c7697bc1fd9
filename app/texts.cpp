#include "app/texts.h"

#include <QCoreApplication>

// Written out as translate("Widget", ...) calls so that lupdate finds every text with its context.
namespace Texts {

QString OpenButton()
{
    return QCoreApplication::translate("Widget", "OPEN");
}

QString CloseButton()
{
    return QCoreApplication::translate("Widget", "Close");
}

QString RunButton()
{
    return QCoreApplication::translate("Widget", "RUN");
}

QString StartLogButton()
{
    return QCoreApplication::translate("Widget", "开始记录");
}

QString StopLogButton()
{
    return QCoreApplication::translate("Widget", "停止记录");
}

QString NoLogPath()
{
    return QCoreApplication::translate("Widget", "点击选择日志保存路径");
}

QString NoFileToSend()
{
    return QCoreApplication::translate("Widget", "点击选择发送文件路径");
}

QString SendFileButton()
{
    return QCoreApplication::translate("Widget", "发送文件");
}

QString CancelSendButton()
{
    return QCoreApplication::translate("Widget", "取消发送");
}

QString ReceivedTag()
{
    return QCoreApplication::translate("Widget", "[接收]");
}

QString SentTag()
{
    return QCoreApplication::translate("Widget", "[发送]");
}

QString WarningTitle()
{
    return QCoreApplication::translate("Widget", "告警");
}

QString PortOpenFailed()
{
    return QCoreApplication::translate("Widget", "串口打开失败！\r\n请检查串口驱动或是否被占用！");
}

QString NoPortSelected()
{
    return QCoreApplication::translate("Widget", "未选择串口！");
}

QString JoinGroup(const QString &group)
{
    return QCoreApplication::translate("Widget", "请将当前用户加入用户组%1，然后重新登录！")
        .arg(group);
}

QString SendWithoutPort()
{
    return QCoreApplication::translate("Widget", "无法发送数据！\r\n请先打开串口！");
}

QString SaveConfigFailed()
{
    return QCoreApplication::translate("Widget", "无法保存配置文件！\r\n请检查路径或权限！");
}

QString ConfigNotRecognised()
{
    return QCoreApplication::translate("Widget", "无法加载配置文件！\r\n文件内容无法识别！");
}

QString ConfigNotReadable()
{
    return QCoreApplication::translate("Widget", "无法加载配置文件！\r\n请检查文件权限！");
}

QString SettingsSetAside(const QString &copy)
{
    return QCoreApplication::translate("Widget", "无法读取保存的设置！\r\n原文件已另存为%1！")
        .arg(copy);
}

QString LogNotCreated()
{
    return QCoreApplication::translate("Widget", "无法创建文件\r\n请检查路径是否有误！");
}

QString LogWriteFailed()
{
    return QCoreApplication::translate("Widget", "无法写入日志文件！\r\n日志记录已停止！");
}

QString FileWithoutPort()
{
    return QCoreApplication::translate("Widget", "无法发送文件！\r\n请先配置并打开串口！");
}

QString FileNotOpened()
{
    return QCoreApplication::translate("Widget",
                                       "无法打开文件！\r\n请检查文件是否存在或有无读取权限！");
}

QString ReceiverCancelledBox()
{
    return QCoreApplication::translate("Widget", "接收方取消了传输！\r\n请检查接收方后重新发送！");
}

QString NoAnswerBox()
{
    return QCoreApplication::translate(
        "Widget", "接收方无应答！\r\n请先在接收方启动接收（如U-Boot的loady）再发送！");
}

QString TooManyRetriesBox()
{
    return QCoreApplication::translate(
        "Widget", "重发次数过多，传输已停止！\r\n请检查波特率和线路后重新发送！");
}

QString FileUnreadableBox()
{
    return QCoreApplication::translate(
        "Widget", "读取文件失败，传输已停止！\r\n请检查文件是否在发送中被修改或删除！");
}

QString PortClosedBox()
{
    return QCoreApplication::translate("Widget",
                                       "串口已关闭，传输已停止！\r\n请重新打开串口后再发送！");
}

QString TransferStarted(const QString &protocol, qint64 size)
{
    return QCoreApplication::translate("Widget", "[%1] 开始发送%2字节，等待接收方……")
        .arg(protocol)
        .arg(size);
}

QString TransferDone(const QString &protocol, qint64 size)
{
    return QCoreApplication::translate("Widget", "[%1] 已发送%2字节").arg(protocol).arg(size);
}

QString TransferStopped(const QString &protocol, const QString &reason)
{
    return QCoreApplication::translate("Widget", "[%1] 发送中止：%2").arg(protocol, reason);
}

QString CancelledReason()
{
    return QCoreApplication::translate("Widget", "已取消");
}

QString ReceiverCancelledReason()
{
    return QCoreApplication::translate("Widget", "接收方取消了传输");
}

QString NoAnswerReason()
{
    return QCoreApplication::translate("Widget", "接收方无应答");
}

QString TooManyRetriesReason()
{
    return QCoreApplication::translate("Widget", "重发次数过多");
}

QString FileUnreadableReason()
{
    return QCoreApplication::translate("Widget", "读取文件失败");
}

QString PortClosedReason()
{
    return QCoreApplication::translate("Widget", "串口已关闭");
}

QString LoadConfigTitle()
{
    return QCoreApplication::translate("Widget", "导入配置文件");
}

QString SaveConfigTitle()
{
    return QCoreApplication::translate("Widget", "保存配置");
}

QString ConfigFilter()
{
    return QCoreApplication::translate("Widget", "配置文件(*.ini)");
}

QString SaveLogTitle()
{
    return QCoreApplication::translate("Widget", "保存日志");
}

QString LogFilter()
{
    return QCoreApplication::translate("Widget", "日志文件(*.log*)");
}

QString ChooseFileTitle()
{
    return QCoreApplication::translate("Widget", "选择文件");
}

QString AllFilesFilter()
{
    return QCoreApplication::translate("Widget", "所有文件(*.*)");
}

QString NamePageTitle()
{
    return QCoreApplication::translate("Widget", "设置标签名称");
}

QString NamePageLabel()
{
    return QCoreApplication::translate("Widget", "输出名称：");
}

QString AboutTitle()
{
    return QCoreApplication::translate("Widget", "关于软件");
}

QString AnsiColoursOption()
{
    return QCoreApplication::translate("Widget", "显示ANSI颜色");
}

QString AutoReopenOption()
{
    return QCoreApplication::translate("Widget", "断开后自动重连");
}

QString CounterToolTip()
{
    return QCoreApplication::translate("Widget", "自打开端口以来接收和发送的字节数，单击清零");
}

QString PulseOption()
{
    return QCoreApplication::translate("Widget", "脉冲100毫秒");
}

QString FindOption()
{
    return QCoreApplication::translate("Widget", "查找…");
}

QString PauseOption()
{
    return QCoreApplication::translate("Widget", "暂停滚动");
}

QString LineEndingToolTip(const QString &ending)
{
    return QCoreApplication::translate("Widget", "每条文本命令后追加 %1（右键选择）").arg(ending);
}

QString AddNetworkPortOption()
{
    return QCoreApplication::translate("Widget", "添加网络端口…");
}

QString RemoveNetworkPortOption()
{
    return QCoreApplication::translate("Widget", "删除网络端口");
}

QString AddNetworkPortTitle()
{
    return QCoreApplication::translate("Widget", "添加网络端口");
}

QString AddNetworkPortLabel()
{
    return QCoreApplication::translate("Widget",
                                       "网络端口地址（rfc2217://主机:端口 或 tcp://主机:端口）：");
}

QString BadNetworkPort(const QString &entry)
{
    return QCoreApplication::translate(
               "Widget",
               "“%1”不是网络端口地址！\r\n请输入 rfc2217://主机:端口 或 tcp://主机:端口。")
        .arg(entry);
}

QString ConnectTimedOut()
{
    return QCoreApplication::translate("Widget", "连接超时");
}

QString ServerSilent()
{
    return QCoreApplication::translate("Widget", "连接超时：服务器接受了连接但没有应答");
}

} // namespace Texts
