"""GObject and Nautilus as far as qxm's Nautilus extension uses them."""


class GObject:
    class GObject:
        pass


class Nautilus:
    class MenuProvider:
        pass

    class Menu:
        def __init__(self):
            self.items = []

        def append_item(self, item):
            self.items.append(item)

    class MenuItem:
        def __init__(self, name, label, tip, icon):
            self.name, self.label, self.tip, self.icon = name, label, tip, icon
            self.submenu = None
            self.handlers = []

        def set_submenu(self, menu):
            self.submenu = menu

        def connect(self, signal, handler, *data):
            assert signal == "activate"
            self.handlers.append((handler, data))

        def activate(self):
            for handler, data in self.handlers:
                handler(self, *data)
