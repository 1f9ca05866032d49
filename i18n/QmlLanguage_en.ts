<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>main</name>
    <message>
        <source>Orvane </source>
        <translation>Orvane </translation>
    </message>
    <message>
        <source>2.7</source>
        <translation>2.7</translation>
    </message>
</context>
</TS>
