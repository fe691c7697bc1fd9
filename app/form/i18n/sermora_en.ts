<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Widget</name>
    <message>
        <source>Sermora</source>
        <translation>Sermora</translation>
    </message>
    <message>
        <source>Kesto · Sermora</source>
        <translation>Kesto · Sermora</translation>
    </message>
    <message>
        <source>会话配置</source>
        <translation>Connection settings</translation>
    </message>
    <message>
        <source>端口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>检验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>流控制</source>
        <translation>Flow</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>110</source>
        <translation>110</translation>
    </message>
    <message>
        <source>300</source>
        <translation>300</translation>
    </message>
    <message>
        <source>600</source>
        <translation>600</translation>
    </message>
    <message>
        <source>1200</source>
        <translation>1200</translation>
    </message>
    <message>
        <source>2400</source>
        <translation>2400</translation>
    </message>
    <message>
        <source>4800</source>
        <translation>4800</translation>
    </message>
    <message>
        <source>9600</source>
        <translation>9600</translation>
    </message>
    <message>
        <source>14400</source>
        <translation>14400</translation>
    </message>
    <message>
        <source>19200</source>
        <translation>19200</translation>
    </message>
    <message>
        <source>38400</source>
        <translation>38400</translation>
    </message>
    <message>
        <source>57600</source>
        <translation>57600</translation>
    </message>
    <message>
        <source>115200</source>
        <translation>115200</translation>
    </message>
    <message>
        <source>230400</source>
        <translation>230400</translation>
    </message>
    <message>
        <source>380400</source>
        <translation>380400</translation>
    </message>
    <message>
        <source>460800</source>
        <translation>460800</translation>
    </message>
    <message>
        <source>921600</source>
        <translation>921600</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>6</source>
        <translation>6</translation>
    </message>
    <message>
        <source>7</source>
        <translation>7</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>Mark</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>1.5</source>
        <translation>1.5</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>NONE</source>
        <translation>NONE</translation>
    </message>
    <message>
        <source>RTS/CTS</source>
        <translation>RTS/CTS</translation>
    </message>
    <message>
        <source>XON/XOFF</source>
        <translation>XON/XOFF</translation>
    </message>
    <message>
        <source>OPEN</source>
        <translation>OPEN</translation>
    </message>
    <message>
        <source>清空屏幕内容</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>发送Ctrl-Z</source>
        <translation>Send Ctrl-Z</translation>
    </message>
    <message>
        <source>HEX显示</source>
        <translation>Hex display</translation>
    </message>
    <message>
        <source>HEX发送</source>
        <translation>Hex send</translation>
    </message>
    <message>
        <source>时间戳</source>
        <translation>Timestamp</translation>
    </message>
    <message>
        <source>发送回车换行</source>
        <translation>CR LF</translation>
    </message>
    <message>
        <source>发送内容</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>点击选择发送文件路径</source>
        <translation>Click to choose the file to send</translation>
    </message>
    <message>
        <source>发送文件</source>
        <translation>Send file</translation>
    </message>
    <message>
        <source>点击选择日志保存路径</source>
        <translation>Click to choose where to save the log</translation>
    </message>
    <message>
        <source>记录发送内容</source>
        <translation>Echo sent</translation>
    </message>
    <message>
        <source>开始记录</source>
        <translation>Start log</translation>
    </message>
    <message>
        <source>Page%1</source>
        <translation>Page%1</translation>
    </message>
    <message>
        <source>Choose All/None</source>
        <translation>Choose All/None</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>Delay(ms)</source>
        <translation>Delay(ms)</translation>
    </message>
    <message>
        <source>RUN</source>
        <translation>RUN</translation>
    </message>
    <message>
        <source>STOP</source>
        <translation>STOP</translation>
    </message>
    <message>
        <source>运行次数</source>
        <translation>Passes</translation>
    </message>
    <message>
        <source> 循环间隔</source>
        <translation> Interval</translation>
    </message>
    <message>
        <source>保存配置到文件</source>
        <translation>Save config</translation>
    </message>
    <message>
        <source>加载配置文件</source>
        <translation>Load config</translation>
    </message>
    <message>
        <source>清空配置信息</source>
        <translation>Clear config</translation>
    </message>
    <message>
        <source>Copyright © 2026 Kesto. Sermora serial terminal.</source>
        <translation>Copyright © 2026 Kesto. Sermora serial terminal.</translation>
    </message>
    <message>
        <source>无法读取保存的设置！<byte value="xd"/>
原文件已另存为%1！</source>
        <translation>Cannot read the stored settings.<byte value="xd"/>
The file was kept as %1.</translation>
    </message>
    <message>
        <source>未选择串口！</source>
        <translation>No port is selected.</translation>
    </message>
    <message>
        <source>请将当前用户加入用户组%1，然后重新登录！</source>
        <translation>Add your user to the group %1, then log in again.</translation>
    </message>
    <message>
        <source>无法加载配置文件！<byte value="xd"/>
文件内容无法识别！</source>
        <translation>Cannot load the configuration file.<byte value="xd"/>
Its content is not recognised.</translation>
    </message>
    <message>
        <source>无法加载配置文件！<byte value="xd"/>
请检查文件权限！</source>
        <translation>Cannot load the configuration file.<byte value="xd"/>
Check its permissions.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>停止记录</source>
        <translation>Stop log</translation>
    </message>
    <message>
        <source>[接收]</source>
        <translation>[RX]</translation>
    </message>
    <message>
        <source>[发送]</source>
        <translation>[TX]</translation>
    </message>
    <message>
        <source>告警</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>串口打开失败！<byte value="xd"/>
请检查串口驱动或是否被占用！</source>
        <translation>Cannot open the port.<byte value="xd"/>
Check its driver and whether another program is using it.</translation>
    </message>
    <message>
        <source>无法发送数据！<byte value="xd"/>
请先打开串口！</source>
        <translation>Cannot send data.<byte value="xd"/>
Open a port first.</translation>
    </message>
    <message>
        <source>无法保存配置文件！<byte value="xd"/>
请检查路径或权限！</source>
        <translation>Cannot save the configuration file.<byte value="xd"/>
Check the path and its permissions.</translation>
    </message>
    <message>
        <source>无法创建文件<byte value="xd"/>
请检查路径是否有误！</source>
        <translation>Cannot create the file.<byte value="xd"/>
Check that the path is right.</translation>
    </message>
    <message>
        <source>无法写入日志文件！<byte value="xd"/>
日志记录已停止！</source>
        <translation>Cannot write to the log file.<byte value="xd"/>
Logging has stopped.</translation>
    </message>
    <message>
        <source>无法发送文件！<byte value="xd"/>
请先配置并打开串口！</source>
        <translation>Cannot send the file.<byte value="xd"/>
Set up and open a port first.</translation>
    </message>
    <message>
        <source>无法打开文件！<byte value="xd"/>
请检查文件是否存在或有无读取权限！</source>
        <translation>Cannot open the file.<byte value="xd"/>
Check that it exists and that you may read it.</translation>
    </message>
    <message>
        <source>导入配置文件</source>
        <translation>Load configuration</translation>
    </message>
    <message>
        <source>保存配置</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>配置文件(*.ini)</source>
        <translation>Configuration files (*.ini)</translation>
    </message>
    <message>
        <source>保存日志</source>
        <translation>Save log</translation>
    </message>
    <message>
        <source>日志文件(*.log*)</source>
        <translation>Log files (*.log*)</translation>
    </message>
    <message>
        <source>选择文件</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>所有文件(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>设置标签名称</source>
        <translation>Rename page</translation>
    </message>
    <message>
        <source>输出名称：</source>
        <translation>Page name:</translation>
    </message>
    <message>
        <source>关于软件</source>
        <translation>About</translation>
    </message>
    <message>
        <source>显示ANSI颜色</source>
        <translation>Show ANSI colours</translation>
    </message>
    <message>
        <source>断开后自动重连</source>
        <translation>Reconnect after unplug</translation>
    </message>
    <message>
        <source>自打开端口以来接收和发送的字节数，单击清零</source>
        <translation>Bytes received and sent since the port was opened; click to reset</translation>
    </message>
    <message>
        <source>脉冲100毫秒</source>
        <translation>Pulse 100 ms</translation>
    </message>
    <message>
        <source>取消发送</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>接收方取消了传输！<byte value="xd"/>
请检查接收方后重新发送！</source>
        <translation>The receiver cancelled the transfer.<byte value="xd"/>
Check the receiver and send again.</translation>
    </message>
    <message>
        <source>接收方无应答！<byte value="xd"/>
请先在接收方启动接收（如U-Boot的loady）再发送！</source>
        <translation>No answer from the receiver.<byte value="xd"/>
Start the receiver first (such as U-Boot&apos;s loady), then send.</translation>
    </message>
    <message>
        <source>重发次数过多，传输已停止！<byte value="xd"/>
请检查波特率和线路后重新发送！</source>
        <translation>Too many retries: the transfer stopped.<byte value="xd"/>
Check the baud rate and the line, then send again.</translation>
    </message>
    <message>
        <source>读取文件失败，传输已停止！<byte value="xd"/>
请检查文件是否在发送中被修改或删除！</source>
        <translation>The file could not be read: the transfer stopped.<byte value="xd"/>
Check whether the file was changed or removed while it was sent.</translation>
    </message>
    <message>
        <source>串口已关闭，传输已停止！<byte value="xd"/>
请重新打开串口后再发送！</source>
        <translation>The port closed: the transfer stopped.<byte value="xd"/>
Open the port again, then send.</translation>
    </message>
    <message>
        <source>[%1] 开始发送%2字节，等待接收方……</source>
        <translation>[%1] sending %2 bytes, waiting for the receiver…</translation>
    </message>
    <message>
        <source>[%1] 已发送%2字节</source>
        <translation>[%1] %2 bytes sent</translation>
    </message>
    <message>
        <source>[%1] 发送中止：%2</source>
        <translation>[%1] stopped: %2</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>接收方取消了传输</source>
        <translation>the receiver cancelled</translation>
    </message>
    <message>
        <source>接收方无应答</source>
        <translation>no answer from the receiver</translation>
    </message>
    <message>
        <source>重发次数过多</source>
        <translation>too many retries</translation>
    </message>
    <message>
        <source>读取文件失败</source>
        <translation>the file could not be read</translation>
    </message>
    <message>
        <source>串口已关闭</source>
        <translation>the port closed</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>上一个 (Shift+F3)</source>
        <translation>Previous (Shift+F3)</translation>
    </message>
    <message>
        <source>下一个 (F3)</source>
        <translation>Next (F3)</translation>
    </message>
    <message>
        <source>区分大小写</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>查找…</source>
        <translation>Find…</translation>
    </message>
    <message>
        <source>暂停滚动</source>
        <translation>Pause scrolling</translation>
    </message>
    <message>
        <source>每条文本命令后追加 %1（右键选择）</source>
        <translation>Appends %1 to each text command (right-click to choose)</translation>
    </message>
    <message>
        <source>添加网络端口…</source>
        <translation>Add network port…</translation>
    </message>
    <message>
        <source>删除网络端口</source>
        <translation>Remove network port</translation>
    </message>
    <message>
        <source>添加网络端口</source>
        <translation>Add network port</translation>
    </message>
    <message>
        <source>网络端口地址（rfc2217://主机:端口 或 tcp://主机:端口）：</source>
        <translation>Network port address (rfc2217://HOST:PORT or tcp://HOST:PORT):</translation>
    </message>
    <message>
        <source>“%1”不是网络端口地址！<byte value="xd"/>
请输入 rfc2217://主机:端口 或 tcp://主机:端口。</source>
        <translation>"%1" is not a network port address!<byte value="xd"/>
Enter rfc2217://HOST:PORT or tcp://HOST:PORT.</translation>
    </message>
    <message>
        <source>连接超时</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <source>连接超时：服务器接受了连接但没有应答</source>
        <translation>Connection timed out: the server accepted the connection but did not answer</translation>
    </message>
</context>
</TS>
