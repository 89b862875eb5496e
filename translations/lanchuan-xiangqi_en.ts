<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AnalysisMode</name>
    <message>
        <source>分析已停止：%1</source>
        <translation>Analysis stopped: %1</translation>
    </message>
    <message>
        <source>分析模式：双方的棋都由你走</source>
        <translation>Analysis mode: you move for both sides</translation>
    </message>
    <message>
        <source>红%1步杀</source>
        <translation>Red mates in %1</translation>
    </message>
    <message>
        <source>黑%1步杀</source>
        <translation>Black mates in %1</translation>
    </message>
</context>
<context>
    <name>ExtraCommands</name>
    <message>
        <source>导出棋谱</source>
        <translation>Export Game Record</translation>
    </message>
    <message>
        <source>导入棋谱</source>
        <translation>Import Game Record</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>ICCS 坐标棋谱 (*.pgn)</source>
        <translation>ICCS coordinate record (*.pgn)</translation>
    </message>
    <message>
        <source>中文纵线棋谱 (*.pgn)</source>
        <translation>Chinese notation record (*.pgn)</translation>
    </message>
    <message>
        <source>棋谱 (*.pgn *.PGN)</source>
        <translation>Game records (*.pgn *.PGN)</translation>
    </message>
</context>
<context>
    <name>GameReview</name>
    <message>
        <source>棋局记录已不含这步棋，无法从此处继续。</source>
        <translation>The game record no longer holds this move; cannot continue from here.</translation>
    </message>
    <message>
        <source>轮到红方走棋：你执红。</source>
        <translation>Red to move: you now play Red.</translation>
    </message>
    <message>
        <source>轮到黑方走棋：你执黑。</source>
        <translation>Black to move: you now play Black.</translation>
    </message>
    <message>
        <source>查看：开局</source>
        <translation>Viewing: start of game</translation>
    </message>
    <message>
        <source>查看：第%1回合 红方</source>
        <translation>Viewing: move %1, Red</translation>
    </message>
    <message>
        <source>查看：第%1回合 黑方</source>
        <translation>Viewing: move %1, Black</translation>
    </message>
</context>
<context>
    <name>LevelCommands</name>
    <message>
        <source>&quot;%1&quot; 不是有效的整数。</source>
        <translation>&quot;%1&quot; is not a valid whole number.</translation>
    </message>
    <message>
        <source>时间不正确。请重输。</source>
        <translation>Invalid time. Please enter it again.</translation>
    </message>
    <message>
        <source>时间不正确：每次移动最多 1000 秒。请重输。</source>
        <translation>Invalid time: at most 1000 seconds a move. Please enter it again.</translation>
    </message>
    <message>
        <source>时间不正确：每局最多 1000 分钟。请重输。</source>
        <translation>Invalid time: at most 1000 minutes a game. Please enter it again.</translation>
    </message>
    <message>
        <source>数据不正确。请重输。</source>
        <translation>Invalid number. Please enter it again.</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>引擎比赛...</source>
        <translation>Engine Match...</translation>
    </message>
    <message>
        <source>分析箭头</source>
        <translation>Analysis Arrows</translation>
    </message>
    <message>
        <source>游戏</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>恢复</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>另存为...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>对弈</source>
        <translation>Computer Move</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>悔棋</source>
        <translation>Take Back</translation>
    </message>
    <message>
        <source>重下</source>
        <translation>Replay</translation>
    </message>
    <message>
        <source>摆子</source>
        <translation>Set Up Position</translation>
    </message>
    <message>
        <source>级别</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>容易</source>
        <translation>Easy</translation>
    </message>
    <message>
        <source>每次移动时间...</source>
        <translation>Time per Move...</translation>
    </message>
    <message>
        <source>总时间</source>
        <translation>Time per Game</translation>
    </message>
    <message>
        <source>匹配</source>
        <translation>Matching</translation>
    </message>
    <message>
        <source>无限制</source>
        <translation>Unlimited</translation>
    </message>
    <message>
        <source>回合搜索</source>
        <translation>Search Depth</translation>
    </message>
    <message>
        <source>将死搜索</source>
        <translation>Mate Search</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>两人对弈</source>
        <translation>Two Players</translation>
    </message>
    <message>
        <source>演示模式</source>
        <translation>Demonstration</translation>
    </message>
    <message>
        <source>棋子值...</source>
        <translation>Piece Values...</translation>
    </message>
    <message>
        <source>移动</source>
        <translation>Moving</translation>
    </message>
    <message>
        <source>拖动</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>声音</source>
        <translation>Sound</translation>
    </message>
    <message>
        <source>引擎</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>显示</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>颜色...</source>
        <translation>Colour...</translation>
    </message>
    <message>
        <source>反转棋盘</source>
        <translation>Reverse Board</translation>
    </message>
    <message>
        <source>最好路线</source>
        <translation>Best Line</translation>
    </message>
    <message>
        <source>标记最后一步</source>
        <translation>Mark Last Move</translation>
    </message>
    <message>
        <source>语言</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>棋谱</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>复制局面</source>
        <translation>Copy Position</translation>
    </message>
    <message>
        <source>粘贴局面</source>
        <translation>Paste Position</translation>
    </message>
    <message>
        <source>导出棋谱...</source>
        <translation>Export Game...</translation>
    </message>
    <message>
        <source>导入棋谱...</source>
        <translation>Import Game...</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>轮流</source>
        <translation>Turn</translation>
    </message>
    <message>
        <source>红方</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>黑方</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>忽略</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>从此处继续</source>
        <translation>Continue from here</translation>
    </message>
    <message>
        <source>分析棋局...</source>
        <translation>Analyse Game...</translation>
    </message>
    <message>
        <source>分析模式</source>
        <translation>Analysis Mode</translation>
    </message>
    <message>
        <source>引擎管理...</source>
        <translation>Manage Engines...</translation>
    </message>
</context>
<context>
    <name>MessageDialogs</name>
    <message>
        <source>中国象棋</source>
        <translation>Xiangqi</translation>
    </message>
    <message>
        <source>还玩吗？</source>
        <translation>Play again?</translation>
    </message>
    <message>
        <source>中国象棋错误</source>
        <translation>Xiangqi Error</translation>
    </message>
</context>
<context>
    <name>MouseEntry</name>
    <message>
        <source>错误的移动!</source>
        <translation>Wrong move!</translation>
    </message>
</context>
<context>
    <name>MoveListView</name>
    <message>
        <source>红方</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>黑方</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>较好的着法：%1
分析评分（红方）：%2</source>
        <translation>Better move: %1
Value (Red&apos;s view): %2</translation>
    </message>
</context>
<context>
    <name>SaveQuestion</name>
    <message>
        <source>中国象棋</source>
        <translation>Xiangqi</translation>
    </message>
    <message>
        <source>棋局已改变，保存吗？</source>
        <translation>The game has changed. Save it?</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TAboutDlg</name>
    <message>
        <source>关于澜川中国象棋</source>
        <translation>About Lanchuan Xiangqi</translation>
    </message>
    <message>
        <source>澜川中国象棋</source>
        <translation>Lanchuan Xiangqi</translation>
    </message>
    <message>
        <source>澜川中国象棋 开发组</source>
        <translation>Lanchuan Xiangqi team</translation>
    </message>
    <message>
        <source>讨论：GitHub</source>
        <translation>Talk: GitHub</translation>
    </message>
</context>
<context>
    <name>TAnalyseGameDlg</name>
    <message>
        <source>引擎：</source>
        <translation>Engine:</translation>
    </message>
    <message>
        <source>分析棋局</source>
        <translation>Analyse Game</translation>
    </message>
    <message>
        <source>引擎逐步分析本局的每一步，标出失误：?! 欠佳，? 失误，?? 严重失误。</source>
        <translation>The engine analyses every move of this game and marks the mistakes: ?! dubious, ? mistake, ?? blunder.</translation>
    </message>
    <message>
        <source>每步分析时间（秒）：</source>
        <translation>Seconds per move:</translation>
    </message>
</context>
<context>
    <name>TColorDlg</name>
    <message>
        <source>设置颜色</source>
        <translation>Set Colour</translation>
    </message>
    <message>
        <source>红色</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>绿色</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>蓝色</source>
        <translation>Blue</translation>
    </message>
</context>
<context>
    <name>TEngineManagerDlg</name>
    <message>
        <source>引擎管理</source>
        <translation>Manage Engines</translation>
    </message>
    <message>
        <source>添加...</source>
        <translation>Add...</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>重命名...</source>
        <translation>Rename...</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>Try</translation>
    </message>
    <message>
        <source>程序：</source>
        <translation>Program:</translation>
    </message>
    <message>
        <source>参数：</source>
        <translation>Arguments:</translation>
    </message>
    <message>
        <source>工作目录：</source>
        <translation>Working folder:</translation>
    </message>
    <message>
        <source>程序所在目录</source>
        <translation>The program&apos;s folder</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
</context>
<context>
    <name>TGameListDlg</name>
    <message>
        <source>导入棋谱</source>
        <translation>Import Game Record</translation>
    </message>
    <message>
        <source>文件中有多局棋谱，请选择一局：</source>
        <translation>The file holds several games. Choose one:</translation>
    </message>
    <message>
        <source>局</source>
        <translation>Game</translation>
    </message>
    <message>
        <source>赛事</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>红方</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>黑方</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>着数</source>
        <translation>Moves</translation>
    </message>
</context>
<context>
    <name>TInfoForm</name>
    <message>
        <source>红方：</source>
        <translation>Red:</translation>
    </message>
    <message>
        <source>最好路线：</source>
        <translation>Best line:</translation>
    </message>
    <message>
        <source>时间:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>黑方：</source>
        <translation>Black:</translation>
    </message>
    <message>
        <source>级别：</source>
        <translation>Level: </translation>
    </message>
    <message>
        <source>值：</source>
        <translation>Value: </translation>
    </message>
    <message>
        <source>节点：</source>
        <translation>Nodes: </translation>
    </message>
    <message>
        <source>步/秒：</source>
        <translation>Nodes/s: </translation>
    </message>
    <message>
        <source>深度：</source>
        <translation>Depth: </translation>
    </message>
    <message>
        <source>时间：</source>
        <translation>Time: </translation>
    </message>
    <message>
        <source>轮流：红方</source>
        <translation>Turn: Red</translation>
    </message>
    <message>
        <source>轮流：黑方</source>
        <translation>Turn: Black</translation>
    </message>
    <message>
        <source>红方:</source>
        <translation>Red: </translation>
    </message>
    <message>
        <source>黑方:</source>
        <translation>Black: </translation>
    </message>
    <message>
        <source>值（红方）：</source>
        <translation>Value (Red): </translation>
    </message>
    <message>
        <source>值（黑方）：</source>
        <translation>Value (Black): </translation>
    </message>
</context>
<context>
    <name>TInputMinPerGameDlg</name>
    <message>
        <source>设置每次游戏分钟数</source>
        <translation>Minutes per Game</translation>
    </message>
    <message>
        <source>每次游戏分钟数：</source>
        <translation>Minutes:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>忽略</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TInputPlyDlg</name>
    <message>
        <source>设置回合深度</source>
        <translation>Search Depth</translation>
    </message>
    <message>
        <source>回合数：</source>
        <translation>Plies:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>忽略</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TInputSecPerMoveDlg</name>
    <message>
        <source>设置每次移动秒数</source>
        <translation>Seconds per Move</translation>
    </message>
    <message>
        <source>每次移动秒数：</source>
        <translation>Seconds:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>忽略</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TMainForm</name>
    <message>
        <source>澜川中国象棋</source>
        <translation>Lanchuan Xiangqi</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>屏幕分辩率低于800X600!</source>
        <translation>The screen is smaller than 800x600!</translation>
    </message>
</context>
<context>
    <name>TPieceValueDlg</name>
    <message>
        <source>棋子值对话</source>
        <translation>Piece Values</translation>
    </message>
    <message>
        <source>士</source>
        <translation>Advisor</translation>
    </message>
    <message>
        <source>象</source>
        <translation>Elephant</translation>
    </message>
    <message>
        <source>马</source>
        <translation>Horse</translation>
    </message>
    <message>
        <source>车</source>
        <translation>Chariot</translation>
    </message>
    <message>
        <source>炮</source>
        <translation>Cannon</translation>
    </message>
    <message>
        <source>兵</source>
        <translation>Pawn</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>缺省 </source>
        <translation>Default</translation>
    </message>
    <message>
        <source>忽略</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ValueRows</name>
    <message>
        <source>请输入一个介于0-255之间的有效数.</source>
        <translation>Please enter a number from 0 to 255.</translation>
    </message>
</context>
<context>
    <name>XiangqiApplication</name>
    <message>
        <source>程序出错，将关闭。</source>
        <translation>The program has failed and will close.</translation>
    </message>
    <message>
        <source>要恢复的棋局 (*.chs)，或要导入的棋谱 (PGN)</source>
        <translation>a saved game to restore (*.chs), or a game record to import (PGN)</translation>
    </message>
</context>
<context>
    <name>xq</name>
    <message>
        <source>不可能的移动！</source>
        <translation>Impossible move!</translation>
    </message>
    <message>
        <source>非法移动。将军！</source>
        <translation>Illegal move. Check!</translation>
    </message>
    <message>
        <source>将死！</source>
        <translation>Checkmate!</translation>
    </message>
    <message>
        <source>死局!</source>
        <translation>Stalemate!</translation>
    </message>
    <message>
        <source>将军!</source>
        <translation>Check!</translation>
    </message>
    <message>
        <source>将军！</source>
        <translation>Check!</translation>
    </message>
    <message>
        <source>中国象棋</source>
        <translation>Xiangqi</translation>
    </message>
    <message>
        <source>六十回合规则</source>
        <translation>Sixty-move rule</translation>
    </message>
    <message>
        <source>红方认输</source>
        <translation>Red resigns</translation>
    </message>
    <message>
        <source>黑方认输</source>
        <translation>Black resigns</translation>
    </message>
    <message>
        <source> 将死在%1 次移动后!</source>
        <translation> Mate in %1 moves!</translation>
    </message>
    <message>
        <source>帅</source>
        <translation>Red King</translation>
    </message>
    <message>
        <source>将</source>
        <translation>Black King</translation>
    </message>
    <message>
        <source>仕</source>
        <translation>Red Advisor</translation>
    </message>
    <message>
        <source>士</source>
        <translation>Black Advisor</translation>
    </message>
    <message>
        <source>相</source>
        <translation>Red Elephant</translation>
    </message>
    <message>
        <source>象</source>
        <translation>Black Elephant</translation>
    </message>
    <message>
        <source>马</source>
        <translation>Horse</translation>
    </message>
    <message>
        <source>车</source>
        <translation>Chariot</translation>
    </message>
    <message>
        <source>炮</source>
        <translation>Red Cannon</translation>
    </message>
    <message>
        <source>砲</source>
        <translation>Black Cannon</translation>
    </message>
    <message>
        <source>兵</source>
        <translation>Red Pawn</translation>
    </message>
    <message>
        <source>卒</source>
        <translation>Black Pawn</translation>
    </message>
    <message>
        <source>王</source>
        <translation>King under attack</translation>
    </message>
    <message>
        <source>%1%2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>%1的数目不正确</source>
        <translation>Wrong number of pieces: %1</translation>
    </message>
    <message>
        <source>%1的位置错误</source>
        <translation>Pieces misplaced: %1</translation>
    </message>
    <message>
        <source>存贮错误</source>
        <translation>Save failed</translation>
    </message>
    <message>
        <source>游戏没有加载</source>
        <translation>The game was not loaded</translation>
    </message>
    <message>
        <source>文件没有发现</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>不能打开 %1 用于写</source>
        <translation>Cannot open %1 for writing</translation>
    </message>
    <message>
        <source>不能打开日志文件.
禁止登录！</source>
        <translation>Cannot open the log file.
Logging is off!</translation>
    </message>
    <message>
        <source>剪贴板中没有局面</source>
        <translation>The clipboard holds no position</translation>
    </message>
    <message>
        <source>FEN 局面有误：%1</source>
        <translation>Bad FEN position: %1</translation>
    </message>
    <message>
        <source>存贮错误：%1</source>
        <translation>Save failed: %1</translation>
    </message>
    <message>
        <source>无法读取文件 %1</source>
        <translation>Cannot read the file %1</translation>
    </message>
    <message>
        <source>文件太大，不是棋谱：%1</source>
        <translation>The file is too large to be a game record: %1</translation>
    </message>
    <message>
        <source>文件中没有棋谱</source>
        <translation>The file holds no game</translation>
    </message>
    <message>
        <source>无法读取文件的文字编码：不是 UTF-8、GBK/GB18030 或 Big5 的文字</source>
        <translation>Cannot read the file&apos;s text: it is not UTF-8, GBK/GB18030 or Big5 text</translation>
    </message>
    <message>
        <source>棋谱格式有误：标签、注释或变着没有结束</source>
        <translation>Bad game record: a tag, comment or variation does not end</translation>
    </message>
    <message>
        <source>棋谱格式有误：多余的“%1”</source>
        <translation>Bad game record: stray “%1”</translation>
    </message>
    <message>
        <source>第%1回合的着法“%2”%3</source>
        <translation>Move %1 “%2”: %3</translation>
    </message>
    <message>
        <source>不合规则</source>
        <translation>is illegal</translation>
    </message>
    <message>
        <source>有歧义</source>
        <translation>is ambiguous</translation>
    </message>
    <message>
        <source>无法识别</source>
        <translation>is not understood</translation>
    </message>
    <message>
        <source>第%1局：%2</source>
        <translation>Game %1: %2</translation>
    </message>
    <message>
        <source>文件中只有 %1 局棋谱，没有第 %2 局</source>
        <translation>The file holds only %1 games, not game %2</translation>
    </message>
    <message>
        <source>正在利用棋谱库。</source>
        <translation>Playing from the opening book.</translation>
    </message>
    <message>
        <source>没有找到将死。</source>
        <translation>No mate found.</translation>
    </message>
    <message>
        <source>没有足够的内存</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>标准</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>大师</source>
        <translation>Master</translation>
    </message>
    <message>
        <source>两人对弈</source>
        <translation>Two Players</translation>
    </message>
    <message>
        <source>单独对弈</source>
        <translation>One Player</translation>
    </message>
    <message>
        <source>找不到程序 %1</source>
        <translation>Program %1 not found</translation>
    </message>
    <message>
        <source>无法运行 %1：%2</source>
        <translation>Cannot run %1: %2</translation>
    </message>
    <message>
        <source>无法进入文件夹 %1：%2</source>
        <translation>Cannot enter folder %1: %2</translation>
    </message>
    <message>
        <source>引擎 %1 已退出 (退出码 %2)</source>
        <translation>Engine %1 has exited (exit code %2)</translation>
    </message>
    <message>
        <source>引擎 %1 被信号 %2 终止</source>
        <translation>Engine %1 was ended by signal %2</translation>
    </message>
    <message>
        <source>引擎 %1 没有回应 %2</source>
        <translation>Engine %1 did not answer %2</translation>
    </message>
    <message>
        <source>引擎 %1 不懂 UCI、UCCI 或 XBoard 协议</source>
        <translation>Engine %1 speaks neither UCI, UCCI nor XBoard</translation>
    </message>
    <message>
        <source>引擎 %1 不能下中国象棋</source>
        <translation>Engine %1 cannot play Xiangqi</translation>
    </message>
    <message>
        <source>引擎 %1 走了不合规则的着法 %2</source>
        <translation>Engine %1 played the illegal move %2</translation>
    </message>
    <message>
        <source>引擎 %1 的着法无法识别：%2</source>
        <translation>Engine %1 wrote no move it could mean: %2</translation>
    </message>
    <message>
        <source>引擎 %1 输出过多</source>
        <translation>Engine %1 wrote too much output</translation>
    </message>
    <message>
        <source>引擎 %1 不能从任意局面开始</source>
        <translation>Engine %1 cannot start from a set-up position</translation>
    </message>
    <message>
        <source>引擎 %1 不接受着法：%2</source>
        <translation>Engine %1 refused the move: %2</translation>
    </message>
    <message>
        <source>引擎 %1 没有停下</source>
        <translation>Engine %1 did not stop</translation>
    </message>
    <message>
        <source>引擎列表：[%1] 没有 command，已跳过</source>
        <translation>Engine list: [%1] has no command and is skipped</translation>
    </message>
    <message>
        <source>引擎列表：[%1] 重复，已跳过</source>
        <translation>Engine list: [%1] appears twice; the second is skipped</translation>
    </message>
    <message>
        <source>引擎列表：[%1] 的 %2 无法识别：%3</source>
        <translation>Engine list: the %2 of [%1] is not understood: %3</translation>
    </message>
    <message>
        <source>引擎列表第 %1 行无法识别</source>
        <translation>Engine list: line %1 is not understood</translation>
    </message>
    <message>
        <source>%1 秒/移动</source>
        <translation>%1 s/move</translation>
    </message>
    <message>
        <source>%1 分钟/局</source>
        <translation>%1 min/game</translation>
    </message>
    <message>
        <source>容易</source>
        <translation>Easy</translation>
    </message>
    <message>
        <source>无限制</source>
        <translation>Unlimited</translation>
    </message>
    <message>
        <source>回合深度 = %1</source>
        <translation>Depth = %1</translation>
    </message>
    <message>
        <source>将死搜索</source>
        <translation>Mate search</translation>
    </message>
    <message>
        <source>匹配用户时间</source>
        <translation>Matching your time</translation>
    </message>
    <message>
        <source>没有选定引擎。</source>
        <translation>No engine has been chosen.</translation>
    </message>
    <message>
        <source>引擎 %1 无法启动：%2</source>
        <translation>Engine %1 could not be started: %2</translation>
    </message>
    <message>
        <source>引擎 %1 没有给出着法（%2）。</source>
        <translation>Engine %1 gave no move (%2).</translation>
    </message>
    <message>
        <source>引擎 %1 已不在引擎列表中，改用标准引擎。</source>
        <translation>Engine %1 is no longer in the engine list; the Standard engine plays instead.</translation>
    </message>
</context>
<context>
    <name>xq::GameAnalyser</name>
    <message>
        <source>正在分析棋局：第 %1 / %2 步</source>
        <translation>Analysing the game: move %1 of %2</translation>
    </message>
    <message>
        <source>棋局还没有着法，无从分析</source>
        <translation>The game has no moves yet; there is nothing to analyse</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>分析棋局</source>
        <translation>Analyse Game</translation>
    </message>
    <message>
        <source>正在停止分析……</source>
        <translation>Stopping the analysis…</translation>
    </message>
    <message>
        <source>棋局分析完成</source>
        <translation>Game analysis complete</translation>
    </message>
    <message>
        <source>棋局分析已停止</source>
        <translation>Game analysis stopped</translation>
    </message>
</context>
<context>
    <name>xq::TAnalyseGameDlg</name>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
</context>
<context>
    <name>xq::TEngineManagerDlg</name>
    <message>
        <source>名称：%1
作者：%2
协议：%3</source>
        <translation>Name: %1
Author: %2
Protocol: %3</translation>
    </message>
    <message>
        <source>协议：%1
测试引擎以显示其选项。</source>
        <translation>Protocol: %1
Try the engine to see its options.</translation>
    </message>
    <message>
        <source>无法添加引擎：%1</source>
        <translation>Cannot add the engine: %1</translation>
    </message>
    <message>
        <source>引擎的名称不能为空。</source>
        <translation>The engine&apos;s name cannot be empty.</translation>
    </message>
    <message>
        <source>已有名为 %1 的引擎。</source>
        <translation>There is already an engine named %1.</translation>
    </message>
    <message>
        <source>%1 走了 %2，用时 %3 秒。</source>
        <translation>%1 played %2 in %3 seconds.</translation>
    </message>
    <message>
        <source>选择引擎程序</source>
        <translation>Choose the Engine&apos;s Program</translation>
    </message>
    <message>
        <source>添加引擎</source>
        <translation>Add Engine</translation>
    </message>
    <message>
        <source>命令行参数：</source>
        <translation>Command-line arguments:</translation>
    </message>
    <message>
        <source>选择工作目录（取消：程序所在目录）</source>
        <translation>Choose the Working Folder (Cancel: the program&apos;s folder)</translation>
    </message>
    <message>
        <source>重命名</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>引擎的名称：</source>
        <translation>The engine&apos;s name:</translation>
    </message>
    <message>
        <source>测试</source>
        <translation>Try</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>xq::TGameListDlg</name>
    <message>
        <source>文件中有 %1 局棋谱，请选择一局：</source>
        <translation>The file holds %1 games. Choose one:</translation>
    </message>
    <message>
        <source>不能导入</source>
        <translation>cannot be imported</translation>
    </message>
</context>
<context>
    <name>GameAnalyser</name>
    <message>
        <source>棋局分析已停止：%1</source>
        <translation>Game analysis stopped: %1</translation>
    </message>
</context>
<context>
    <name>TMatchDlg</name>
    <message>
        <source>引擎比赛</source>
        <translation>Engine Match</translation>
    </message>
    <message>
        <source>引擎一：</source>
        <translation>Engine 1:</translation>
    </message>
    <message>
        <source>引擎二：</source>
        <translation>Engine 2:</translation>
    </message>
    <message>
        <source>局数：</source>
        <translation>Games:</translation>
    </message>
    <message>
        <source>每步秒数：</source>
        <translation>Seconds per move:</translation>
    </message>
    <message>
        <source>每局分钟 + 每步加秒：</source>
        <translation>Minutes per game + seconds per move:</translation>
    </message>
    <message>
        <source>每步深度：</source>
        <translation>Depth per move:</translation>
    </message>
    <message>
        <source>开局：</source>
        <translation>Openings:</translation>
    </message>
    <message>
        <source>开局库</source>
        <translation>Opening book</translation>
    </message>
    <message>
        <source>初始局面</source>
        <translation>Starting position</translation>
    </message>
    <message>
        <source>PGN 或 FEN 文件</source>
        <translation>PGN or FEN file</translation>
    </message>
    <message>
        <source>开局文件：</source>
        <translation>Opening file:</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>棋谱写入：</source>
        <translation>Write games to:</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>引擎</source>
        <translation>Engine</translation>
    </message>
    <message>
        <source>胜</source>
        <translation>Won</translation>
    </message>
    <message>
        <source>和</source>
        <translation>Drawn</translation>
    </message>
    <message>
        <source>负</source>
        <translation>Lost</translation>
    </message>
    <message>
        <source>得分</source>
        <translation>Points</translation>
    </message>
    <message>
        <source>请选择两个引擎</source>
        <translation>Choose two engines</translation>
    </message>
    <message>
        <source>开局库里没有开局</source>
        <translation>The opening book holds no openings</translation>
    </message>
    <message>
        <source>请选择开局文件</source>
        <translation>Choose an opening file</translation>
    </message>
    <message>
        <source>正在停止比赛……</source>
        <translation>Stopping the match…</translation>
    </message>
    <message>
        <source>Elo 差：—</source>
        <translation>Elo difference: —</translation>
    </message>
    <message>
        <source>Elo 差：%1 ± %2（%3 局）</source>
        <translation>Elo difference: %1 ± %2 (%3 games)</translation>
    </message>
    <message>
        <source>Elo 差：%1（%2 局）</source>
        <translation>Elo difference: %1 (%2 games)</translation>
    </message>
    <message>
        <source>第 %1 局：红方 %2，黑方 %3</source>
        <translation>Game %1: Red %2, Black %3</translation>
    </message>
    <message>
        <source>第 %1 局 %2：%3</source>
        <translation>Game %1 %2: %3</translation>
    </message>
    <message>
        <source>比赛已停止</source>
        <translation>Match stopped</translation>
    </message>
    <message>
        <source>比赛结束</source>
        <translation>Match finished</translation>
    </message>
    <message>
        <source>开局文件</source>
        <translation>Opening File</translation>
    </message>
    <message>
        <source>开局 (*.pgn *.epd *.fen *.txt)</source>
        <translation>Openings (*.pgn *.epd *.fen *.txt)</translation>
    </message>
    <message>
        <source>所有文件 (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>棋谱写入</source>
        <translation>Write Games To</translation>
    </message>
    <message>
        <source>PGN 棋谱 (*.pgn)</source>
        <translation>PGN games (*.pgn)</translation>
    </message>
</context>
</TS>
