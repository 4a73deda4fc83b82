<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" sourcelanguage="en">
<context>
    <name>CaptureController</name>
    <message>
        <location filename="../src/shell/capturecontroller.cpp" line="299"/>
        <source>The screen could not be captured. Nothing was changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/capturecontroller.cpp" line="302"/>
        <location filename="../src/shell/capturecontroller.cpp" line="347"/>
        <source>Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/capturecontroller.cpp" line="346"/>
        <source>The canvas could not be kept, so it stays on the screen.
%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Colors</name>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="13"/>
        <source>Black</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="14"/>
        <source>White</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="15"/>
        <source>Silver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="16"/>
        <source>Gray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="17"/>
        <source>Red</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="18"/>
        <source>Pink</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="19"/>
        <source>Burgandy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="20"/>
        <source>Orange</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="21"/>
        <source>Yellow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="22"/>
        <source>Lime</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="23"/>
        <source>Green</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="24"/>
        <source>Spruce</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="25"/>
        <source>Teal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="26"/>
        <source>Cyan</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="27"/>
        <source>Blue</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="28"/>
        <source>Navy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="29"/>
        <source>Maroon</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="30"/>
        <source>Magenta</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="31"/>
        <source>Brown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="32"/>
        <source>Periwinkle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/colortable.cpp" line="34"/>
        <source>Custom ...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../src/main.cpp" line="81"/>
        <source>Try &apos;scrawlix --help&apos;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/main.cpp" line="95"/>
        <source>there is no file %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/main.cpp" line="215"/>
        <source>Scrawlix runs but did not take the request: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/main.cpp" line="225"/>
        <source>%1; running without the check for a Scrawlix that runs already</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="80"/>
        <source>%1= names no file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="87"/>
        <source>unknown option &apos;%1&apos;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="92"/>
        <source>the file name is longer than the system takes (%1 bytes): %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="98"/>
        <source>one action at a time: &apos;%1&apos; after another action</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="128"/>
        <source>the same as %1 FILE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="131"/>
        <source>Usage: scrawlix [ACTION | FILE]

Scrawlix waits in the system tray. Press the Windows key + V, or double-click the tray
icon, to freeze the screen into a canvas and draw on it. On a desktop without a tray,
the actions below reach every item of the tray&apos;s menu.

Started while Scrawlix runs, it hands the action to the running Scrawlix and ends;
without an action it only has the running Scrawlix say that it is there. Started with
an action while none runs, it starts Scrawlix and then runs the action.

Actions (each does what the tray menu&apos;s item of the same name does):
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="145"/>
        <source>Options:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="148"/>
        <source>print this help and end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandline.cpp" line="150"/>
        <source>print the version and end</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Commands</name>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="53"/>
        <source>Capture Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="55"/>
        <source>Capture Entire Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="57"/>
        <source>capture the screen and show it on the canvas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="61"/>
        <source>Capture Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="63"/>
        <source>Capture Active Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="65"/>
        <source>capture the active window and show it on the canvas</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="69"/>
        <source>Show Toolbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="72"/>
        <source>show the toolbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="76"/>
        <source>Show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="79"/>
        <source>show the canvas that Hide has kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="83"/>
        <location filename="../src/shell/commandtable.cpp" line="85"/>
        <source>Hide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="90"/>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="91"/>
        <source>Load Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="93"/>
        <source>open an image file on the canvas; without FILE, ask for one</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="99"/>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="101"/>
        <source>show the About box</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="106"/>
        <source>About Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="111"/>
        <source>&amp;Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="113"/>
        <source>Scrawlix Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="114"/>
        <source>open the Configuration dialog</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="118"/>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="119"/>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="120"/>
        <source>open the help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="124"/>
        <source>Send to System Tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="126"/>
        <source>Minimize to Tray</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="128"/>
        <source>hide the canvas and the toolbox, discarding the drawing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="132"/>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="133"/>
        <source>Exit Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="134"/>
        <source>end the running Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="139"/>
        <source>Copy Image to Clipboard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="145"/>
        <source>Print Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="151"/>
        <source>Save Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commandtable.cpp" line="157"/>
        <source>Erase Image</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmAbout</name>
    <message>
        <location filename="../src/about/frmabout.cpp" line="51"/>
        <source>Description</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/about/frmabout.cpp" line="60"/>
        <source>Have fun drawing on your screen with Scrawlix! Double-click the Scrawlix icon in the system tray to take a snapshot of the screen and draw on it. You can copy, print and save the image when you are done.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/about/frmabout.cpp" line="74"/>
        <source>Scrawlix on the web: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/about/frmabout.cpp" line="85"/>
        <source>Notice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/about/frmabout.cpp" line="94"/>
        <source>Scrawlix is provided &quot;as is&quot;, without warranty of any kind. You use it at your own risk; the authors are not liable for any damage or loss that comes from its use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/about/frmabout.cpp" line="100"/>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/about/frmabout.cpp" line="120"/>
        <source>About Scrawlix %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmMain</name>
    <message>
        <location filename="../src/canvas/frmmain.cpp" line="23"/>
        <source>Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmOptions</name>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="31"/>
        <source>The settings could not be saved in
%1

They last until Scrawlix ends.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="89"/>
        <source>Scrawlix Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="95"/>
        <source>Hotkey Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="99"/>
        <source>Please choose a letter to be Scrawlix&apos;s Hotkey.  When you press the Windows Key &amp;&amp; the letter you specify, Scrawlix will capture the screen &amp;&amp; you can draw away!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="106"/>
        <source>Letter:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="117"/>
        <source>* Note: May Require Restart of Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="123"/>
        <source>Default Tool Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="127"/>
        <source>Default Tool:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="130"/>
        <source>Default Tool Color:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="134"/>
        <source>Default Tool Size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="138"/>
        <source>Default Font:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="145"/>
        <source>Run on Startup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="149"/>
        <source>Would you like Scrawlix to run on Windows startup?  Checked = Yes &amp;&amp; Unchecked = No</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="154"/>
        <source>&amp;Ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="158"/>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="272"/>
        <source>Select Custom Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="283"/>
        <source>Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/frmoptions.cpp" line="296"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FrmToolbox</name>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="27"/>
        <source>Toolbox</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="38"/>
        <source>Pen &amp;&amp; Text Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="44"/>
        <source>Pen and Text Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="53"/>
        <source>Drawing/Font Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="59"/>
        <source>Pen and Text Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="62"/>
        <source>Text Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="68"/>
        <source>Font</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="74"/>
        <source>Bold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="75"/>
        <source>Italic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="76"/>
        <source>Underline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="77"/>
        <source>Strikeout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="80"/>
        <source>Font Styles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="83"/>
        <source>Drawing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="96"/>
        <source>Drawing Tools</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="101"/>
        <source>Outline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="102"/>
        <source>Solid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="105"/>
        <source>Fill Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="109"/>
        <source>Image Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="113"/>
        <source>Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/toolbox/frmtoolbox.cpp" line="274"/>
        <source>Select Custom Color</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Imaging</name>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="17"/>
        <source>Opening Image...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="44"/>
        <source>There is not enough memory to open the picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="48"/>
        <source>The picture could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="74"/>
        <source>Opening the picture...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="75"/>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="107"/>
        <source>Decoding the picture took longer than %1, so it was given up.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="111"/>
        <source>%1 ms</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="113"/>
        <source>1 second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/backgroundopen.cpp" line="114"/>
        <source>%1 seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="23"/>
        <source>Bitmap Image (*.bmp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="24"/>
        <source>JPEG Image (*.jpg; *.jpeg)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="26"/>
        <source>Compuserve GIF Image (*.gif)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="27"/>
        <source>All Files (*.*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="36"/>
        <source>The reason is not known.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="95"/>
        <source>The picture is too large for a BMP file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="158"/>
        <source>There is no picture to save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="160"/>
        <location filename="../src/imaging/openfile.cpp" line="54"/>
        <source>That name belongs to a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/fileio.cpp" line="162"/>
        <source>The folder %1 does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="34"/>
        <source>The file is not a picture in a format Scrawlix can read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="52"/>
        <source>The file does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="56"/>
        <source>The file is a named pipe (FIFO), not a picture file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="59"/>
        <source>The file is a socket, not a picture file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="62"/>
        <source>The file is a device, not a picture file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="66"/>
        <source>The file is not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="81"/>
        <source>The file is too large; files of up to %1 MB can be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="142"/>
        <source>The picture is too large (%1 x %2 pixels). Pictures of up to %3 pixels a side and %4 million pixels in all can be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="180"/>
        <source>The file is incomplete: it ends before the end of the picture.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/imaging/openfile.cpp" line="188"/>
        <source>The picture in the file could not be decoded (%1).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Lists</name>
    <message>
        <location filename="../src/settings/lists.cpp" line="16"/>
        <source>%L1</source>
        <comment>a size in the size lists</comment>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <location filename="../src/shell/commands.cpp" line="21"/>
        <source>The image could not be copied to the clipboard.
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/commands.cpp" line="24"/>
        <location filename="../src/shell/hotkey.cpp" line="66"/>
        <location filename="../src/shell/hotkey.cpp" line="68"/>
        <location filename="../src/shell/imagecommands.cpp" line="148"/>
        <location filename="../src/shell/imagecommands.cpp" line="167"/>
        <location filename="../src/shell/imagecommands.cpp" line="180"/>
        <location filename="../src/shell/imagecommands.cpp" line="235"/>
        <location filename="../src/shell/program.cpp" line="171"/>
        <location filename="../src/shell/program.cpp" line="172"/>
        <location filename="../src/shell/startup.cpp" line="42"/>
        <location filename="../src/shell/startup.cpp" line="57"/>
        <source>Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/help.cpp" line="31"/>
        <source>Help File unavailable.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/help.cpp" line="34"/>
        <source>The help pages can be read in a web browser:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/help.cpp" line="38"/>
        <source>Help Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/hotkey.cpp" line="75"/>
        <source>key %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/hotkey.cpp" line="76"/>
        <source>The hot key Windows key + %1 is already taken by another program, so Scrawlix cannot use it. Choose another letter under Configuration in the tray menu. Meanwhile a double-click on the tray icon captures the screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="122"/>
        <source>The canvas could not be read from the screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="146"/>
        <source>The image could not be saved.
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="156"/>
        <source>Save Image...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="166"/>
        <source>PNG ERROR!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="178"/>
        <source>The image could not be saved as
%1

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="199"/>
        <source>Open Image...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="232"/>
        <source>The picture could not be opened from
%1

%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="269"/>
        <source>There is no available printer to use.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="270"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/imagecommands.cpp" line="274"/>
        <source>Print Image...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/instancerequests.cpp" line="13"/>
        <source>Scrawlix is already running in the system tray.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/program.cpp" line="170"/>
        <source>An error has occurred.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/startup.cpp" line="90"/>
        <source>This desktop shows no system tray, so Scrawlix has no icon there. It runs in the background: capture with its keyboard shortcut, or from Scrawlix in the applications menu, whose actions also offer Show, Configuration and Exit. On the command line, &quot;scrawlix --help&quot; lists every action.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Platform</name>
    <message>
        <location filename="../src/platform/null/nullplatform.cpp" line="65"/>
        <source>this windowing system gives no screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/null/nullplatform.cpp" line="90"/>
        <source>Scrawlix does not support this windowing system (&quot;%1&quot;): it cannot read the screen, register its hot key, or start with the system here.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/platform.cpp" line="46"/>
        <source>Scrawlix needs an X11 session. This Wayland session offers no XWayland display (DISPLAY is not set); log in to an X11 session or enable XWayland.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/platform.cpp" line="52"/>
        <source>Scrawlix needs a graphical X11 session, but no display is set (DISPLAY is empty). Start it from a desktop session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/platform.cpp" line="69"/>
        <source>cannot connect to the X11 display &quot;%1&quot;: no X server answers there. Check DISPLAY, or start Scrawlix from a desktop session.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/portal/portalscreenshot.cpp" line="140"/>
        <source>Without the desktop&apos;s screenshot service, Scrawlix cannot see the windows on this screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/portal/portalscreenshot.cpp" line="180"/>
        <source>The desktop did not allow Scrawlix to take a screenshot.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/portal/portalscreenshot.cpp" line="187"/>
        <source>The desktop&apos;s screenshot service failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/portal/portalscreenshot.cpp" line="195"/>
        <source>The desktop&apos;s screenshot service is not available, so the capture shows only the windows that run through XWayland. Native Wayland windows may appear black.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/portal/portalshortcuts.cpp" line="133"/>
        <source>Capture the screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/portal/portalshortcuts.cpp" line="247"/>
        <source>This desktop gives Scrawlix no global shortcut. To capture the screen with a key, bind the command &quot;scrawlix --capture-screen&quot; in the desktop&apos;s keyboard settings.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/screengrab.cpp" line="126"/>
        <source>The screen could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/x11/x11screengrab.cpp" line="233"/>
        <source>The X server gave no screen to read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/platform/x11/x11screengrab.cpp" line="290"/>
        <source>The X server refused to give the screen&apos;s pixels.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../src/settings/hotkeyletter.cpp" line="15"/>
        <source>the control character %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/hotkeyletter.cpp" line="16"/>
        <source>&quot;%1&quot;</source>
        <comment>a hot-key letter in quotes</comment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/hotkeyletter.cpp" line="38"/>
        <source>No key on this keyboard types %1, so it cannot be the hot-key letter. Please choose a letter, a digit or a punctuation key that the keyboard has.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/hotkeyletter.cpp" line="47"/>
        <source>No key on this keyboard types the hot-key letter %1, so the hot key is Windows key + V until Scrawlix ends. Choose another letter in the options.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/runonstartup.cpp" line="11"/>
        <source>Error.  Cannot Access The Subkey.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/settings/runonstartup.cpp" line="12"/>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Tools</name>
    <message>
        <location filename="../src/canvas/tools.cpp" line="92"/>
        <source>Pen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/tools.cpp" line="94"/>
        <source>Circle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/tools.cpp" line="96"/>
        <source>Rectangle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/tools.cpp" line="98"/>
        <source>Line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/tools.cpp" line="100"/>
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/canvas/tools.cpp" line="102"/>
        <source>Highlighter</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <location filename="../src/shell/trayicon.cpp" line="26"/>
        <location filename="../src/shell/trayicon.cpp" line="112"/>
        <source>Scrawlix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../src/shell/trayicon.cpp" line="42"/>
        <source>&amp;Menu</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
