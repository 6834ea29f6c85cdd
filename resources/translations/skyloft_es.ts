<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>Skyloft</name>
    <message>
        <source>Subir</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Enlaces</source>
        <translation>Enlaces</translation>
    </message>
    <message>
        <source>Configuración</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>menu_about</source>
        <translation>Acerca de Skyloft</translation>
    </message>
    <message>
        <source>menu_settings</source>
        <translation>Configuración…</translation>
    </message>
    <message>
        <source>menu_help</source>
        <translation>Ayuda de Skyloft</translation>
    </message>
    <message>
        <source>menu_quit</source>
        <translation>Salir de Skyloft</translation>
    </message>
</context>
</TS>
