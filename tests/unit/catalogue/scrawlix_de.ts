<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A small German catalogue for tst_translation: two texts, so that the test sees a translated
     text and an untranslated one side by side. -->
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>FrmToolbox</name>
    <message>
        <source>Toolbox</source>
        <translation>Werkzeugkasten</translation>
    </message>
</context>
<context>
    <name>Colors</name>
    <message>
        <source>Black</source>
        <translation>Schwarz</translation>
    </message>
</context>
</TS>
